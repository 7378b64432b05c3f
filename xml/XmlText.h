// Text rules of the XML layer: escaping, white space and entity references.
#pragma once

#include <string>
#include <string_view>

#include "core/String.h"

namespace wm {

// TAB, LF, CR and space.
constexpr bool IsXmlSpace(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

std::string_view TrimXmlSpace(std::string_view text);
bool IsXmlSpaceOnly(std::string_view text);

// Replaces "&", "<", ">", "'" and the double quote by their entity references.
std::string EscapeXml(std::string_view text);

// Entity references: the five named ones, "&#N;" and "&#xH;" (either case of x) for values
// below 65535. Any other "&...;" stays as written, and so does everything from an "&" that has
// no ";" after it.
//
// Calls onText(std::string_view) for each run of text as written and onUnit(char16_t) for each
// replaced reference, in document order.
template <class OnText, class OnUnit>
void ScanEntityReferences(std::string_view text, OnText&& onText, OnUnit&& onUnit);

// References replaced, the result as UTF-8 (a lone surrogate unit becomes U+FFFD).
std::string DecodeEntityReferences(std::string_view text);

// References replaced, the text read as UTF-8 or, when its bytes are not valid UTF-8, as
// Windows-1252, so that no byte is lost.
String DecodeXmlText(std::string_view text);

// Implementation.

namespace detail {
// The UTF-16 unit a reference body (the text between "&" and ";") stands for, or -1.
int EntityReferenceUnit(std::string_view body);
}  // namespace detail

template <class OnText, class OnUnit>
void ScanEntityReferences(std::string_view text, OnText&& onText, OnUnit&& onUnit) {
    constexpr size_t npos = std::string_view::npos;
    size_t done = 0;       // text before this has been handed out
    size_t semicolon = 0;  // the first ";" after the current "&" once searched
    for (size_t amp = text.find('&'); amp != npos;) {
        if (semicolon <= amp) semicolon = text.find(';', amp + 1);
        if (semicolon == npos) break;
        // A body holding another "&" is not a reference; the search resumes at that "&". Each
        // byte is looked at a bounded number of times, whatever the text.
        const size_t next = text.find('&', amp + 1);
        const int unit =
            next < semicolon
                ? -1
                : detail::EntityReferenceUnit(text.substr(amp + 1, semicolon - amp - 1));
        if (unit >= 0) {
            if (amp > done) onText(text.substr(done, amp - done));
            onUnit(static_cast<char16_t>(unit));
            done = semicolon + 1;
        }
        amp = next;
    }
    if (done < text.size()) onText(text.substr(done));
}

}  // namespace wm
