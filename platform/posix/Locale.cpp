#include <clocale>
#include <ctime>

#include "platform/Locale.h"

namespace wm::platform {

String ThousandsSeparator() {
    const std::lconv* conventions = std::localeconv();
    return conventions && conventions->thousands_sep ? FromUtf8(conventions->thousands_sep)
                                                     : String();
}

String FormatLocaleDateTime(const LocalTime& time) {
    struct tm moment {};
    moment.tm_year = time.year - 1900;
    moment.tm_mon = time.month - 1;
    moment.tm_mday = time.day;
    moment.tm_hour = time.hour;
    moment.tm_min = time.minute;
    moment.tm_sec = time.second;
    moment.tm_isdst = -1;
    char text[128];
    const size_t length = std::strftime(text, sizeof text, "%x %X", &moment);
    return FromUtf8(std::string(text, length));
}

}  // namespace wm::platform
