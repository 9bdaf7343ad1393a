#!/usr/bin/env python3
"""Writes the seed inputs of the dispatcher_packet fuzz target into corpus/dispatcher_packet.

Each input is one control byte (0: dwData is the packet's kind) and the packet bytes. The seeds
are valid packets of every kind the library sends, and one of each refused shape; inputs that
the fuzzer found interesting are added beside them under their content hash.
"""
import os
import struct

ID = b"{0A1B2C3D-0000-4000-8000-00000000000A}"


def field(text, size):
    return text[: size - 1].ljust(size, b"\0")


def packet(kind, msg=b"", details=b"", conn=ID, app=b"server", category=b"Orders"):
    head = struct.pack("<iiiiiiII", kind, 48615250, 739961, -60, len(msg), len(details), 100, 7)
    body = (field(conn, 42) + field(b"DBHOST", 16) + field(app, 41) + field(category, 41)
            + struct.pack("<i", 0xFF) + field(b"", 41))
    return head + body + msg + details + b"\0\0\0"


def seeds():
    yield "connect", b"\0" + packet(41, b"Viewer", app=b"")
    yield "connect-orders", b"\0" + packet(41, b"Orders")
    yield "message", b"\0" + packet(0, b"Rows = 42")
    yield "error", b"\0" + packet(2, b"Exception EConvertError in module x at 00001234.\nbad.")
    yield "checkpoint", b"\0" + packet(3, b"Orders: Check Point #1")
    yield "note", b"\0" + packet(8, b"a note")
    yield "enter", b"\0" + packet(9, b"ProcessOrder")
    yield "exit", b"\0" + packet(10, b"ProcessOrder")
    yield "separator", b"\0" + packet(11)
    yield "clear", b"\0" + packet(13)
    yield "write", b"\0" + packet(14, b"a@b = 2.50")
    yield "memory", b"\0" + packet(20, b"Memory Status", b"Heap=\r\n  Total=1\r\n=\r\n")
    yield "disconnect", b"\0" + packet(42)
    yield "high-bytes", b"\0" + packet(0, bytes(range(0x80, 0x100)) + b"\x1b[2J\"\\")
    good = packet(0, b"abc")
    yield "short", b"\0" + good[:219]
    yield "long", b"\0" + good + b"\0"
    yield "bad-length", b"\0" + good[:16] + struct.pack("<i", 4) + good[20:]
    yield "wrapping-lengths", (b"\0" + good[:16] + struct.pack("<II", 0x80000000, 0x80000003)
                               + good[24:])
    yield "no-terminator", b"\0" + good[:220] + b"x\0\0"
    yield "unterminated-id", b"\0" + good[:32] + b"A" * 42 + good[74:]
    yield "kind-mismatch", b"\x88" + good
    yield "null-data", b"\x40" + good
    yield "empty", b"\0"
    yield "control-43", b"\0" + packet(43)
    yield "connect-no-id", b"\0" + packet(41, b"Viewer", conn=b"")


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "dispatcher_packet")
    os.makedirs(out, exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(out, "seed-" + name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
