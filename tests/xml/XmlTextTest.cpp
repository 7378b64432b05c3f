#include <gtest/gtest.h>

#include "xml/XmlEncoding.h"
#include "xml/XmlText.h"

namespace wm {
namespace {

TEST(XmlText, EntityReferences) {
    struct Case {
        const char* text;
        String decoded;
    };
    const Case cases[] = {
        {"&amp;&lt;&gt;&apos;&quot;", u"&<>'\""},
        {"&#65;&#x42;&#X43;&#x00e9;&#0065;", u"ABC\u00e9A"},
        {"&#65534;&#xFFFE;", u"\uFFFE\uFFFE"},
        {"&#65535;&#xFFFF;&#65536;&#x1F600;", u"&#65535;&#xFFFF;&#65536;&#x1F600;"},
        {"&#99999999999999999999;", u"&#99999999999999999999;"},
        {"&nbsp;&#;&#x;&#-1;&#1a;&AMP;", u"&nbsp;&#;&#x;&#-1;&#1a;&AMP;"},
        {"a & b &amp; c", u"a & b & c"},
        {"x &lt; y & z", u"x < y & z"},
        {"&amp;&", u"&&"},
        {"&lt", u"&lt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeXmlText(c.text), c.decoded) << c.text;
        EXPECT_EQ(DecodeEntityReferences(c.text), ToUtf8(c.decoded)) << c.text;
    }
    EXPECT_EQ(DecodeXmlText("&#0;"), String(1, u'\0'));
}

TEST(XmlText, ManyAmpersandsDecodeInLinearTime) {
    const std::string text = std::string(1 << 20, '&') + ";";
    EXPECT_EQ(DecodeXmlText(text).size(), text.size());
}

TEST(XmlText, InvalidUtf8IsReadAsWindows1252) {
    EXPECT_EQ(DecodeXmlText("caf\xC3\xA9 &amp; \xE2\x82\xAC"), u"caf\u00e9 & \u20ac");
    EXPECT_EQ(DecodeXmlText("caf\xE9 &#233; \x80\x81\x9F"), u"caf\u00e9 \u00e9 \u20ac\u0081\u0178");
    // A reference is never mistaken for bytes of the text around it.
    EXPECT_EQ(DecodeXmlText("\xC3&amp;\xA9"), u"\u00c3&\u00a9");
}

TEST(XmlText, BuiltInEightBitForms) {
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b) high += static_cast<char>(b);
    const String cp1252 = DecodeWindows1252(high);
    EXPECT_EQ(cp1252.substr(0, 4), u"\u20ac\u0081\u201a\u0192");
    EXPECT_EQ(cp1252.substr(0x20), DecodeEightBit(high.substr(0x20), TXmlEightBitForm::Latin1));
    EXPECT_EQ(DecodeEightBit("\x80", TXmlEightBitForm::Latin1), u"\u0080");
    EXPECT_EQ(DecodeEightBit("\x80", TXmlEightBitForm::Windows1252), u"\u20ac");
}

TEST(XmlText, EncodingNamesAndTheFormsTheyAreReadIn) {
    using enum TXmlEightBitForm;
    const std::pair<const char*, TXmlEightBitForm> cases[] = {
        {"utf-8", Utf8},
        {"UTF8", Utf8},
        {"utf-16", Utf8},
        {"UTF-16LE", Utf8},
        {"utf-16be", Utf8},
        {"utf-32", Utf8},
        {"UTF-32BE", Utf8},
        {"ucs-2", Utf8},
        {"UCS-4", Utf8},
        {"iso-10646-ucs-2", Utf8},
        {"windows-1252", Windows1252},
        {"US-ASCII", Windows1252},
        {"iso-8859-1", Latin1},
        {"Latin1", Latin1},
        {"utf-16x", CodePage},
        {"utf-7", CodePage},
        {"windows-1251", CodePage},
        {"koi8-r", CodePage},
        {"iso-8859-15", CodePage},
        {"", CodePage},
    };
    for (const auto& [name, form] : cases) EXPECT_EQ(EightBitFormOf(name), form) << name;
}

TEST(XmlText, Utf16AndUcs4Leftovers) {
    EXPECT_EQ(DecodeUtf16(std::string("A\0B", 3), false), u"A\uFFFD");
    EXPECT_EQ(DecodeUtf16(std::string("\xD8\x3D\xDE\x00", 4), true), u"\U0001F600");
    EXPECT_EQ(DecodeUcs4LE(std::string("\x00\xF6\x01\x00\x00\x00\x11\x00\x41", 9)),
              u"\U0001F600\uFFFD\uFFFD");
}

}  // namespace
}  // namespace wm
