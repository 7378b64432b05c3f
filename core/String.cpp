#include "core/String.h"

#include <cstddef>

namespace wm {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one code point at `pos`; on an invalid sequence returns U+FFFD and consumes the
// maximal subpart that could have started a valid sequence (at least one byte).
char32_t DecodeUtf8(std::string_view text, size_t& pos, bool& valid) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    valid = true;
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    size_t length = 0;
    char32_t cp = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        ++pos;
        valid = false;
        return kReplacement;
    }
    size_t i = pos + 1;
    for (size_t n = 1; n < length; ++n, ++i) {
        if (i >= text.size() || byte(i) < low || byte(i) > high) {
            pos = i;
            valid = false;
            return kReplacement;
        }
        cp = (cp << 6) | (byte(i) & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    pos = i;
    return cp;
}

// The code point at `i`, a surrogate pair taken whole (`i` then stands on its second half); an
// unpaired surrogate is U+FFFD.
char32_t DecodeUtf16(StringView text, size_t& i) {
    const char32_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
        ++i;
        return 0x10000 + ((unit - 0xD800) << 10) + (text[i] - 0xDC00);
    }
    return unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit;
}

}  // namespace

void AppendCodePoint(String& out, char32_t codePoint) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        out.push_back(u'\uFFFD');
    } else if (codePoint >= 0x10000) {
        out.push_back(static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(codePoint));
    }
}

String FromUtf8(std::string_view text) {
    String out;
    FromUtf8(text, out);
    return out;
}

void FromUtf8(std::string_view text, String& out) {
    out.clear();
    out.reserve(text.size());
    bool valid = true;
    for (size_t pos = 0; pos < text.size();) {
        // A run of ASCII goes across unchanged.
        const size_t run = pos;
        while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80) ++pos;
        out.append(text.begin() + static_cast<ptrdiff_t>(run),
                   text.begin() + static_cast<ptrdiff_t>(pos));
        if (pos < text.size()) AppendCodePoint(out, DecodeUtf8(text, pos, valid));
    }
}

bool IsValidUtf8(std::string_view text) {
    bool valid = true;
    for (size_t pos = 0; pos < text.size() && valid;) DecodeUtf8(text, pos, valid);
    return valid;
}

std::string ToUtf8(StringView text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) AppendUtf8(out, DecodeUtf16(text, i));
    return out;
}

std::u32string ToUtf32(StringView text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) out.push_back(DecodeUtf16(text, i));
    return out;
}

String FromUtf32(std::u32string_view text) {
    String out;
    out.reserve(text.size());
    for (char32_t codePoint : text) AppendCodePoint(out, codePoint);
    return out;
}

}  // namespace wm
