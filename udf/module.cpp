#include "udf/module.h"

#include "client/WLIntf.h"

namespace wl::udf {
namespace {

FormatSettings FromLocale(const platform::LocaleSettings& locale) {
  FormatSettings s;
  s.thousandSeparator = locale.thousandSeparator;
  s.decimalSeparator = locale.decimalSeparator ? locale.decimalSeparator : '.';
  s.dateSeparator = locale.dateSeparator ? locale.dateSeparator : '/';
  s.timeSeparator = locale.timeSeparator ? locale.timeSeparator : ':';
  s.shortDateFormat = locale.shortDateFormat;
  s.longTimeFormat = locale.longTimeFormat;
  s.timeAmString = locale.timeAmString;
  s.timePmString = locale.timePmString;
  return s;
}

}  // namespace

void WrenbridgeLoad(platform::Services& services, std::uint8_t assertionMode) {
  InstallServices(&services);
  SetFormatSettings(FromLocale(services.UserLocale()));
  std::lock_guard guard(GlobalClientLock());
  ClientUnitStart(assertionMode);
}

void WrenbridgeUnload() {
  std::lock_guard guard(GlobalClientLock());
  ClientUnitStop();
}

}  // namespace wl::udf
