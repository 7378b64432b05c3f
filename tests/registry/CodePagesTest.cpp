// Text in named encodings, decoded by the system: the same answers from iconv and from Windows.
#include <gtest/gtest.h>

#include "platform/CodePages.h"

namespace wm::platform {
namespace {

using namespace std::string_literals;

TEST(CodePages, DecodesTheCodePagesOfExchangeFiles) {
    const String privet = u"\u041F\u0440\u0438\u0432\u0435\u0442";
    const String zlutoucky = u"\u017Dlu\u0165ou\u010Dk\u00FD";
    const struct {
        const char* name;
        std::string bytes;
        String text;
    } cases[] = {
        {"cp866", "\x8F\xE0\xA8\xA2\xA5\xE2", privet},
        {"ibm866", "\x8F\xE0\xA8\xA2\xA5\xE2", privet},
        {"koi8-r", "\xF0\xD2\xC9\xD7\xC5\xD4", privet},
        {"koi8-u", "\xA4\xA6\xA7", u"\u0454\u0456\u0457"},
        {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2\x80\xB9\xFF", privet + u"\u0402\u2116\u044F"},
        {"CP1251", "\xCF\xF0\xE8\xE2\xE5\xF2", privet},
        {"windows-1250", "\x8Elu\x9Dou\xE8k\xFD", zlutoucky},
        {"windows-1252", "caf\xE9 \x80", u"caf\u00E9 \u20AC"},
        {"iso-8859-1", "caf\xE9", u"caf\u00E9"},
        {"ISO-8859-2", "\xAElu\xBBou\xE8k\xFD", zlutoucky},
        {"iso-8859-5", "\xBF\xE0\xD8\xD2\xD5\xE2", privet},
        {"us-ascii", "plain", u"plain"},
        {"UTF-8", "\xD0\x96\xF0\x9F\x98\x80", u"\u0416\U0001F600"},
        {"utf-16le", "A\0\x16\x04"s, u"A\u0416"},
        {"UTF-16BE", "\0A\x04\x16"s, u"A\u0416"},
        {"utf-16",
         "\xFF\xFE"
         "A\0"s,
         u"A"},
        {"utf-32le", "\x00\xF6\x01\x00"s, u"\U0001F600"},
        {"utf-32be", "\x00\x01\xF6\x00"s, u"\U0001F600"},
        {"koi8-r", "", u""},
    };
    for (const auto& c : cases) {
        const std::optional<String> text = DecodeCodePage(c.bytes, c.name);
        ASSERT_TRUE(text.has_value()) << c.name;
        EXPECT_EQ(*text, c.text) << c.name;
    }
}

TEST(CodePages, InvalidBytesBecomeReplacementCharactersAndTheRestIsKept) {
    EXPECT_EQ(DecodeCodePage("a\xFF"
                             "b",
                             "utf-8"),
              u"a\uFFFDb");
    EXPECT_EQ(DecodeCodePage("a\xD0", "utf-8"), u"a\uFFFD");
    EXPECT_EQ(DecodeCodePage("A\0B"s, "utf-16le"), u"A\uFFFD");
    // Long input in the piece-wise paths.
    const std::string many(100000, '\xE9');
    const std::optional<String> text = DecodeCodePage(many, "windows-1251");
    ASSERT_TRUE(text.has_value());
    EXPECT_TRUE(*text == String(100000, u'\u0439'));
}

TEST(CodePages, UnknownNamesHaveNoDecoder) {
    for (const char* name : {"x-foo", "", "utf-8//TRANSLIT", "windows-", "iso-8859-99", "cp"}) {
        EXPECT_FALSE(DecodeCodePage("x", name).has_value()) << name;
    }
}

}  // namespace
}  // namespace wm::platform
