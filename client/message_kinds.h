// The message kinds: the first field of every packet and the dwData of its delivery.
#pragma once

#include <cstdint>

namespace wl {

enum TWLMessageKind : std::int32_t {
  mkMessage = 0,
  mkError = 2,
  mkCheckPoint = 3,
  mkObject = 4,
  mkNote = 8,
  mkEnterMethod = 9,
  mkExitMethod = 10,
  mkSeparator = 11,
  mkClear = 13,
  mkWrite = 14,
  mkMemoryStatus = 20,
  mkConnect = 41,
  mkDisconnect = 42,
};

// Kinds 40 to 99 are control kinds; every other value is a message kind.
constexpr bool IsControlKind(std::int32_t kind) { return kind >= 40 && kind < 100; }

// The kind's name ("mkMessage"), or nullptr for a value the library does not produce.
const char* MessageKindName(std::int32_t kind);

}  // namespace wl
