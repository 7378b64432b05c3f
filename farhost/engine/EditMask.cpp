#include "farhost/engine/EditMask.h"

#include <cwctype>

namespace farhost {

bool EditMask::Placeholder(size_t position) const {
    if (position >= mask_.size()) return false;
    switch (mask_[position]) {
        case u'9':
        case u'#':
        case u'A':
        case u'H':
        case u'X':
            return true;
        default:
            return false;
    }
}

bool EditMask::Accepts(size_t position, char16_t c) const {
    if (!Placeholder(position)) return false;
    const auto wide = static_cast<std::wint_t>(c);
    switch (mask_[position]) {
        case u'9':
            return c >= u'0' && c <= u'9';
        case u'#':
            return (c >= u'0' && c <= u'9') || c == u' ' || c == u'+' || c == u'-';
        case u'A':
            return std::iswalpha(wide) != 0;
        case u'H':
            return std::iswxdigit(wide) != 0;
        default:
            return true;
    }
}

wm::String EditMask::Apply(wm::StringView text) const {
    wm::String fitted(mask_);
    for (size_t i = 0; i < fitted.size(); ++i) {
        if (Placeholder(i)) fitted[i] = i < text.size() && Accepts(i, text[i]) ? text[i] : u' ';
    }
    return fitted;
}

size_t EditMask::Next(size_t from) const {
    while (from < mask_.size() && !Placeholder(from)) ++from;
    return from < mask_.size() ? from : mask_.size();
}

size_t EditMask::Previous(size_t from) const {
    while (from > 0) {
        if (Placeholder(--from)) return from;
    }
    return mask_.size();
}

}  // namespace farhost
