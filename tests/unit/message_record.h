// The messages a test made, as (kind, text) pairs, without the connection's control packets.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "client/message_kinds.h"
#include "tests/fake/fake_services.h"

namespace wl::fake {

struct Sent {
  std::int32_t kind;
  std::string text;
  bool operator==(const Sent&) const = default;
};

inline void PrintTo(const Sent& s, std::ostream* os) {
  const char* name = MessageKindName(s.kind);
  *os << "{" << (name ? name : std::to_string(s.kind)) << ", \"" << s.text << "\"}";
}

inline std::vector<Sent> MessagesOf(const std::vector<Packet>& packets) {
  std::vector<Sent> sent;
  for (const Packet& p : packets)
    if (!IsControlKind(p.kind)) sent.push_back({p.kind, p.msg});
  return sent;
}

}  // namespace wl::fake
