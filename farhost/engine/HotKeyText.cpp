#include "farhost/engine/HotKeyText.h"

#include <cwctype>

#include "farhost/engine/DialogAction.h"

namespace farhost {

HotKeyText ParseHotKeyText(wm::StringView text) {
    HotKeyText result;
    result.shown.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            result.shown.push_back(text[i]);
        } else if (i + 1 < text.size() && text[i + 1] == u'&') {
            result.shown.push_back(u'&');
            ++i;
        } else if (i + 1 < text.size() && result.hotKey < 0) {
            result.hotKey = static_cast<int>(result.shown.size());
        }
    }
    return result;
}

char16_t FoldCase(char16_t c) {
    return static_cast<char16_t>(std::towlower(static_cast<std::wint_t>(c)));
}

char16_t HotKeyOf(uint32_t key) {
    const uint32_t code = key & ~(keys::Alt | keys::Shift);
    if ((code & keys::ModifierMask) != 0 || code <= keys::Space || code >= keys::Extended) return 0;
    return FoldCase(static_cast<char16_t>(code));
}

}  // namespace farhost
