#include <windows.h>

#include "platform/MessageBox.h"

namespace wm::platform {

void ShowSystemMessageBox(StringView caption, StringView text, uint32_t style) {
    const std::wstring wideCaption(caption.begin(), caption.end());
    const std::wstring wideText(text.begin(), text.end());
    MessageBoxW(nullptr, wideText.c_str(), wideCaption.c_str(), style);
}

}  // namespace wm::platform
