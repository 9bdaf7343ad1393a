// Reading argument memory that may not be readable, without faulting.
//
// The server hands the entry points raw pointers. These functions copy from them in a way that
// turns an unreadable byte into a false result instead of a crash.
#pragma once

#include <cstddef>
#include <string>

namespace wl::platform {

// Copies the NUL-terminated text at text into out; nullptr gives empty text. False when a byte
// up to and including the terminator cannot be read (out is then unspecified).
bool CopyTextArgument(const char* text, std::string& out);

// Copies size bytes from source to target. False when any of them cannot be read.
bool ReadArgument(const void* source, void* target, std::size_t size);

}  // namespace wl::platform
