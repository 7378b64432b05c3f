#include "core/Guid.h"

#include <cstring>

#include "core/Exceptions.h"
#include "core/Format.h"

namespace wm {
namespace {

constexpr size_t kGuidLength = 38;

// Positions in the text form of the bytes of Data1, Data2, Data3 and Data4, most significant
// byte first; each byte is two hexadecimal digits.
constexpr size_t kBytePositions[16] = {1, 3, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27, 29, 31, 33, 35};

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

}  // namespace

bool operator==(const Guid& a, const Guid& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

bool IsNullGuid(const Guid& guid) {
    return guid == NullGuid;
}

String GuidToString(const Guid& guid) {
    uint8_t bytes[16] = {
        static_cast<uint8_t>(guid.Data1 >> 24), static_cast<uint8_t>(guid.Data1 >> 16),
        static_cast<uint8_t>(guid.Data1 >> 8),  static_cast<uint8_t>(guid.Data1),
        static_cast<uint8_t>(guid.Data2 >> 8),  static_cast<uint8_t>(guid.Data2),
        static_cast<uint8_t>(guid.Data3 >> 8),  static_cast<uint8_t>(guid.Data3)};
    std::memcpy(bytes + 8, guid.Data4, sizeof guid.Data4);

    String text = u"{00000000-0000-0000-0000-000000000000}";
    for (size_t i = 0; i < 16; ++i) {
        text[kBytePositions[i]] = u"0123456789ABCDEF"[bytes[i] >> 4];
        text[kBytePositions[i] + 1] = u"0123456789ABCDEF"[bytes[i] & 0xF];
    }
    return text;
}

std::optional<Guid> TryStringToGuid(StringView text) {
    if (text.size() != kGuidLength || text.front() != u'{' || text.back() != u'}') {
        return std::nullopt;
    }
    for (size_t dash : {9, 14, 19, 24}) {
        if (text[dash] != u'-') return std::nullopt;
    }
    uint8_t bytes[16];
    for (size_t i = 0; i < 16; ++i) {
        const int high = HexValue(text[kBytePositions[i]]);
        const int low = HexValue(text[kBytePositions[i] + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes[i] = static_cast<uint8_t>(high << 4 | low);
    }
    Guid guid;
    guid.Data1 =
        uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
    guid.Data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
    guid.Data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
    std::memcpy(guid.Data4, bytes + 8, sizeof guid.Data4);
    return guid;
}

Guid StringToGuid(StringView text) {
    if (const auto guid = TryStringToGuid(text)) return *guid;
    throw EConvertError(Format(u"'%s' is not a valid GUID value", {text}));
}

}  // namespace wm
