#include "xml/XmlText.h"

#include <algorithm>

#include "xml/XmlEncoding.h"

namespace wm {

std::string_view TrimXmlSpace(std::string_view text) {
    while (!text.empty() && IsXmlSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsXmlSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool IsXmlSpaceOnly(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsXmlSpace);
}

std::string EscapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '\'':
                out += "&apos;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

namespace detail {

int EntityReferenceUnit(std::string_view body) {
    struct Named {
        std::string_view name;
        char16_t unit;
    };
    static constexpr Named kNamed[] = {
        {"amp", u'&'}, {"lt", u'<'}, {"gt", u'>'}, {"apos", u'\''}, {"quot", u'"'},
    };
    for (const Named& named : kNamed) {
        if (body == named.name) return named.unit;
    }
    if (body.size() < 2 || body[0] != '#') return -1;
    body.remove_prefix(1);
    int base = 10;
    if (body[0] == 'x' || body[0] == 'X') {
        base = 16;
        body.remove_prefix(1);
        if (body.empty()) return -1;
    }
    long value = 0;
    for (char c : body) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return -1;
        value = value * base + digit;
        if (value >= 0xFFFF) return -1;  // only values below 65535 are replaced
    }
    return static_cast<int>(value);
}

}  // namespace detail

std::string DecodeEntityReferences(std::string_view text) {
    if (text.find('&') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    ScanEntityReferences(
        text, [&](std::string_view run) { out += run; },
        [&](char16_t unit) { out += ToUtf8(StringView(&unit, 1)); });
    return out;
}

String DecodeXmlText(std::string_view text) {
    const bool utf8 = IsValidUtf8(text);
    String out;
    out.reserve(text.size());
    ScanEntityReferences(
        text, [&](std::string_view run) { out += utf8 ? FromUtf8(run) : DecodeWindows1252(run); },
        [&](char16_t unit) { out += unit; });
    return out;
}

}  // namespace wm
