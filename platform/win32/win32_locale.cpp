// The user locale's separators and date and time formats.
#include "platform/win32/win32_services.h"
#include "platform/win32/windows_include.h"

namespace wl::platform {
namespace {

// The locale's text for one item; empty when the locale gives none or the call fails.
std::string LocaleText(LCTYPE item) {
  char text[256] = {};
  const int length = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, item, text, sizeof text);
  return length > 0 ? std::string(text) : std::string();
}

// A separator is one character; '\0' when the locale gives an empty text.
char LocaleSeparator(LCTYPE item) {
  const std::string text = LocaleText(item);
  return text.empty() ? '\0' : text.front();
}

}  // namespace

LocaleSettings Win32Services::UserLocale() {
  LocaleSettings locale;
  locale.thousandSeparator = LocaleSeparator(LOCALE_STHOUSAND);
  locale.decimalSeparator = LocaleSeparator(LOCALE_SDECIMAL);
  locale.dateSeparator = LocaleSeparator(LOCALE_SDATE);
  locale.timeSeparator = LocaleSeparator(LOCALE_STIME);
  locale.shortDateFormat = LocaleText(LOCALE_SSHORTDATE);
  locale.longTimeFormat = LocaleText(LOCALE_STIMEFORMAT);
  locale.timeAmString = LocaleText(LOCALE_S1159);
  locale.timePmString = LocaleText(LOCALE_S2359);
  return locale;
}

}  // namespace wl::platform
