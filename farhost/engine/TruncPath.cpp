#include "farhost/engine/TruncPath.h"

namespace farhost {
namespace {

bool IsSlash(char16_t c) {
    return c == u'\\' || c == u'/';
}

bool IsLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// Length of the root the shortening keeps, 0 when there is none.
size_t RootLength(wm::StringView text) {
    if (text.size() >= 3 && IsLetter(text[0]) && text[1] == u':' && IsSlash(text[2])) return 3;
    if (text.starts_with(u"\\\\")) {
        const size_t server = text.find(u'\\', 2);
        if (server == wm::StringView::npos || server == 2) return 0;
        const size_t share = text.find(u'\\', server + 1);
        if (share == wm::StringView::npos || share == server + 1) return 0;
        return share + 1;
    }
    return 0;
}

}  // namespace

wm::String TruncPath(wm::StringView text, int maxLength) {
    if (maxLength <= 0 || text.size() <= static_cast<size_t>(maxLength)) return wm::String(text);
    const size_t max = static_cast<size_t>(maxLength);
    if (max <= 3) return wm::String(text.substr(0, max));

    constexpr wm::StringView kEllipsis = u"...";
    size_t root = RootLength(text);
    if (root + 5 > max) root = 0;
    const size_t tail = max - root - kEllipsis.size();
    wm::String result(text.substr(0, root));
    result += kEllipsis;
    result += text.substr(text.size() - tail);
    return result;
}

}  // namespace farhost
