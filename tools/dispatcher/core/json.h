// JSON string escaping for 8-bit texts (see record_json.cpp for the byte mapping).
#pragma once

#include <string>
#include <string_view>

namespace wl::dispatcher {

// Appends text escaped for the inside of a JSON string: quote, backslash and the control
// characters escaped, bytes 0x7F to 0xFF as \u007f to \u00ff.
void AppendJsonEscaped(std::string& out, std::string_view text);
std::string JsonEscaped(std::string_view text);

}  // namespace wl::dispatcher
