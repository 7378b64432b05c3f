#include <iconv.h>

#include <cerrno>
#include <memory>
#include <string>
#include <type_traits>

#include "platform/CodePages.h"

namespace wm::platform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

struct IconvCloser {
    void operator()(iconv_t descriptor) const { iconv_close(descriptor); }
};
using Iconv = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// Only plain names: iconv reads suffixes such as "//TRANSLIT" as options.
bool IsPlainName(std::string_view name) {
    if (name.empty() || name.size() > 64) return false;
    for (char c : name) {
        const bool alnum =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alnum && c != '-' && c != '_' && c != '.' && c != ':') return false;
    }
    return true;
}

}  // namespace

std::optional<String> DecodeCodePage(std::string_view bytes, std::string_view name) {
    if (!IsPlainName(name)) return std::nullopt;
    Iconv converter(iconv_open("UTF-16LE", std::string(name).c_str()));
    if (converter.get() == reinterpret_cast<iconv_t>(-1)) {
        converter.release();
        return std::nullopt;
    }
    String out;
    out.reserve(bytes.size());
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[4096];
    const auto take = [&](const char* end) {
        for (const char* p = buffer; p + 1 < end; p += 2) {
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                                static_cast<unsigned char>(p[1]) << 8));
        }
    };
    while (inLeft > 0) {
        char* outPos = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter.get(), &in, &inLeft, &outPos, &outLeft);
        const int error = result == static_cast<size_t>(-1) ? errno : 0;
        take(outPos);
        if (error == EINVAL) {  // an incomplete sequence at the end
            out.push_back(kReplacement);
            break;
        }
        if (error != 0 && error != E2BIG) {  // EILSEQ: a byte that does not decode
            out.push_back(kReplacement);
            ++in;
            --inLeft;
        }
    }
    return out;
}

}  // namespace wm::platform
