#include <windows.h>

#include "platform/Locale.h"

namespace wm::platform {
namespace {

String Text(const wchar_t* text, int length) {
    return length > 1 ? String(text, text + length - 1) : String();
}

}  // namespace

String ThousandsSeparator() {
    wchar_t text[8]{};
    return Text(text, GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, text, 8));
}

String FormatLocaleDateTime(const LocalTime& time) {
    SYSTEMTIME parts{};
    parts.wYear = static_cast<WORD>(time.year);
    parts.wMonth = static_cast<WORD>(time.month);
    parts.wDay = static_cast<WORD>(time.day);
    parts.wHour = static_cast<WORD>(time.hour);
    parts.wMinute = static_cast<WORD>(time.minute);
    parts.wSecond = static_cast<WORD>(time.second);
    wchar_t date[80]{}, clock[80]{};
    const String day =
        Text(date, GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &parts, nullptr, date, 80));
    const String hour =
        Text(clock, GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &parts, nullptr, clock, 80));
    return day + u" " + hour;
}

}  // namespace wm::platform
