#include "core/String.h"

#include <gtest/gtest.h>

namespace wm {
namespace {

constexpr char16_t kBad = 0xFFFD;

TEST(StringTest, Utf8RoundTripsAtEncodingBoundaries) {
    struct Case {
        std::string utf8;
        String utf16;
    };
    const Case cases[] = {
        {"", u""},
        {"plain", u"plain"},
        {"\x7F", u"\u007F"},
        {"\xC2\x80", u"\u0080"},
        {"\xDF\xBF", u"\u07FF"},
        {"\xE0\xA0\x80", u"\u0800"},
        {"\xED\x9F\xBF", u"\uD7FF"},
        {"\xEE\x80\x80", u"\uE000"},
        {"\xEF\xBF\xBF", u"\uFFFF"},
        {"\xF0\x90\x80\x80", u"\U00010000"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {std::string("a\0b", 3), String(u"a\0b", 3)},
        {"Stra\xC3\x9F"
         "e \xE2\x82\xAC",
         u"Straße €"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FromUtf8(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(ToUtf8(c.utf16), c.utf8) << c.utf8;
        EXPECT_TRUE(IsValidUtf8(c.utf8)) << c.utf8;
    }
    EXPECT_EQ(FromUtf8("\xF0\x9F\x98\x80"), String({char16_t(0xD83D), char16_t(0xDE00)}));
}

TEST(StringTest, InvalidUtf8BecomesOneReplacementPerMaximalSubpart) {
    struct Case {
        const char* name;
        std::string utf8;
        String utf16;
    };
    const String r(1, kBad);
    const Case cases[] = {
        {"lone continuation", "a\x80z", u"a" + r + u"z"},
        {"overlong 2-byte", "\xC0\xAF", r + r},
        {"overlong C1", "\xC1\xBF", r + r},
        {"overlong 3-byte", "\xE0\x80\xAF", r + r + r},
        {"overlong 4-byte", "\xF0\x80\x80\xAF", r + r + r + r},
        {"encoded high surrogate", "\xED\xA0\x80", r + r + r},
        {"encoded low surrogate", "\xED\xBF\xBF", r + r + r},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", r + r + r + r},
        {"F5", "\xF5\x80\x80\x80", r + r + r + r},
        {"FF", "x\xFFy", u"x" + r + u"y"},
        {"FE", "\xFE", r},
        {"truncated 2-byte at end", "a\xC3", u"a" + r},
        {"truncated 3-byte at end", "\xE2\x82", r},
        {"truncated 4-byte at end", "\xF0\x9F\x98", r},
        {"truncated before ASCII", "\xE2\x82z", r + u"z"},
        {"truncated before lead", "\xF0\x9F\xC3\xA9", r + u"é"},
        {"two truncations", "\xE2\x82\xE2\x82", r + r},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FromUtf8(c.utf8), c.utf16) << c.name;
        EXPECT_FALSE(IsValidUtf8(c.utf8)) << c.name;
    }
}

TEST(StringTest, UnpairedSurrogatesBecomeReplacementInUtf8) {
    const std::string r = "\xEF\xBF\xBD";
    struct Case {
        const char* name;
        String utf16;
        std::string utf8;
    };
    const Case cases[] = {
        {"high at end", {u'a', char16_t(0xD83D)}, "a" + r},
        {"high before text", {char16_t(0xD83D), u'a'}, r + "a"},
        {"lone low", {u'a', char16_t(0xDE00), u'b'}, "a" + r + "b"},
        {"reversed pair", {char16_t(0xDE00), char16_t(0xD83D)}, r + r},
        {"two highs then low",
         {char16_t(0xD83D), char16_t(0xD83D), char16_t(0xDE00)},
         r + "\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        const std::string utf8 = ToUtf8(c.utf16);
        EXPECT_EQ(utf8, c.utf8) << c.name;
        EXPECT_TRUE(IsValidUtf8(utf8)) << c.name;
    }
}

TEST(StringTest, Utf32TakesPairsWholeAndLetsNoUnpairedSurrogateThrough) {
    const String text = {u'a', u'\u00e9', char16_t(0xD83D), char16_t(0xDE00), u'\uFFFF'};
    const std::u32string wide = {U'a', U'\u00e9', U'\U0001F600', U'\uFFFF'};
    EXPECT_EQ(ToUtf32(text), wide);
    EXPECT_EQ(FromUtf32(wide), text);
    EXPECT_EQ(ToUtf32(u""), U"");
    EXPECT_EQ(FromUtf32(U""), u"");

    // Out: a surrogate without its pair. In: a surrogate code point or a value past Unicode.
    EXPECT_EQ(ToUtf32(String{u'a', char16_t(0xDE00), char16_t(0xD83D)}),
              (std::u32string{U'a', 0xFFFD, 0xFFFD}));
    EXPECT_EQ(FromUtf32(std::u32string{0xD83D, U'b', 0xDE00, 0x110000, 0x10FFFF}),
              (String{0xFFFD, u'b', 0xFFFD, 0xFFFD, char16_t(0xDBFF), char16_t(0xDFFF)}));
}

}  // namespace
}  // namespace wm
