#include "far2l/Texts.h"

namespace wm::bridge {

String FromHost32(HostText32 text) {
    return text == nullptr ? String() : FromUtf32(text);
}

std::u32string ToHost32(far::HostText text) {
    return text == nullptr ? std::u32string() : ToUtf32(StringView(text));
}

HostText32 TTexts32::Add(far::HostText text) {
    return text == nullptr ? nullptr : Add(StringView(text));
}

HostText32 TTexts32::Add(StringView text) {
    return texts_.emplace_back(ToUtf32(text)).c_str();
}

HostText32 const* TTexts32::AddArray(far::HostText const* texts, int count) {
    if (texts == nullptr) return nullptr;
    auto& array = arrays_.emplace_back();
    array.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k) array.push_back(Add(texts[k]));
    return array.data();
}

void TTexts32::Clear() {
    texts_.clear();
    arrays_.clear();
}

far::HostText TTexts16::Add(HostText32 text) {
    if (text == nullptr) return nullptr;
    return reinterpret_cast<far::HostText>(texts_.emplace_back(FromUtf32(text)).c_str());
}

void TTexts16::Clear() {
    texts_.clear();
}

}  // namespace wm::bridge
