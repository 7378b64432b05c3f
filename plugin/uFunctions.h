// Helpers shared by the waymark core, the panel and the dialogs: entry paths split at "\" and
// "/" (paths built here use "/"), the plugin's messages by number, and its error class.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Exceptions.h"
#include "core/String.h"

namespace wm {

// The plugin's own errors (a bad name, a failed waymark operation); carries only its message.
WM_DECLARE_EXCEPTION(EWaymarkError, Exception);

// The text without the blanks and control characters at its ends.
String Trim(StringView text);

// The text after the last separator; the whole path when it has none.
String ExtractLastComponent(StringView path);
// The same, as a view into `path`.
StringView LastComponent(StringView path);
// The text up to and including the last separator; empty when it has none.
String ExtractParentPath(StringView path);
// Takes the last component off `path` (dropping its separator). False, and an empty `last`,
// for an empty path.
bool SplitLastComponent(String& path, String& last);
// Takes the first component off `path` (with its separator). False, and an empty `first`, for
// an empty path.
bool SplitFirstComponent(String& path, String& first);
// Applies `relative` to `base`: empty and "." components are skipped, ".." goes up one level
// (not above the top), a leading separator starts from the top. The base is taken as it is.
String ResolvePath(StringView base, StringView relative);

// The host's language text for a message number; 255 (no message) is the empty text.
String MessageText(uint8_t message);

// Asks with `lines` and the Yes, No and Cancel buttons, as a warning; the button's index, or a
// negative value when the question was closed.
int AskYesNoCancel(std::vector<String> lines);
// Tells that the waymark `name` could not be stored; false, for the caller to return.
bool ReportStoreFailed(StringView name);

}  // namespace wm
