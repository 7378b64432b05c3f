// The user's locale: how numbers and moments are written.
#pragma once

#include "core/String.h"
#include "platform/FileSystem.h"

namespace wm::platform {

// The separator between groups of three digits; may be empty.
String ThousandsSeparator();

// The short date and the long time of the locale, "<date> <time>".
String FormatLocaleDateTime(const LocalTime& time);

}  // namespace wm::platform
