// Placeholder until the formatter lands.
#include "client/format.h"

namespace wl {
namespace {
FormatSettings settings;
}
const FormatSettings& CurrentFormatSettings() { return settings; }
void SetFormatSettings(const FormatSettings& s) { settings = s; }
}  // namespace wl
