#include <gtest/gtest.h>

#include "platform/CodePages.h"
#include "tests/xml/Encode.h"
#include "xml/XmlDoc.h"
#include "xml/XmlText.h"

namespace wm {
namespace {

using namespace std::string_literals;

std::string Utf16(std::u16string_view text, bool bigEndian) {
    return test::Encode(text, 2, bigEndian);
}

String RootText(const TXmlDoc& doc) {
    return DecodeXmlText(doc.Root()->Value());
}

TEST(XmlRead, EncodingsAreDetectedAndDecoded) {
    const std::u16string utf16 = u"<?xml version=\"1.0\"?><r>\u00e9\u20ac\u0416</r>";
    const String expected = u"\u00e9\u20ac\u0416";
    struct Case {
        const char* what;
        std::string bytes;
        String text;
    };
    const Case cases[] = {
        {"UTF-8", "<r>\xC3\xA9\xE2\x82\xAC\xD0\x96</r>", expected},
        {"UTF-8 with mark", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>\xC3\xA9</r>",
         u"\u00e9"},
        {"declared lower case", "<?xml version=\"1.0\" encoding=\"utf-8\"?><r>\xC3\xA9</r>",
         u"\u00e9"},
        {"UTF-16LE with mark", "\xFF\xFE" + Utf16(utf16, false), expected},
        {"UTF-16BE with mark", "\xFE\xFF" + Utf16(utf16, true), expected},
        {"UTF-16LE", Utf16(utf16, false), expected},
        {"UTF-16BE", Utf16(utf16, true), expected},
        {"UTF-16LE without declaration", Utf16(u"<r>\u0416</r>", false), u"\u0416"},
        {"UCS-4LE with mark", "\xFF\xFE\0\0"s + test::Encode(utf16, 4, false), expected},
        {"windows-1252", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>\xE9\x80</r>",
         u"\u00e9\u20ac"},
        {"iso-8859-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xE9\x80</r>",
         u"\u00e9\u0080"},
        {"us-ascii", "<?xml version=\"1.0\" encoding=\"us-ascii\"?><r>\xE9</r>", u"\u00e9"},
        {"8-bit without declaration", "<r>caf\xE9</r>", u"caf\u00e9"},
    };
    for (const Case& c : cases) {
        TXmlDoc doc;
        doc.LoadFromBytes(c.bytes);
        EXPECT_EQ(doc.Root()->Name(), "r") << c.what;
        EXPECT_EQ(RootText(doc), c.text) << c.what;
        // The mark is not part of the first node.
        if (doc.TopLevel().Child(0).Type() == TXmlNodeType::Declaration) {
            EXPECT_EQ(*doc.TopLevel().Child(0).Attribute("version"), "1.0") << c.what;
        }
    }
}

TEST(XmlRead, UnsupportedEncodingsAreRejected) {
    for (const std::string& bytes :
         {"\0\0\xFE\xFF\0\0\0<"s, "\0\0\0<\0\0\0?"s, "\0\0\xFF\xFE\0\0<\0"s, "\xFE\xFF\0\0\0<\0\0"s,
          "\0\0<\0\0\0?\0"s, "\0<\0\0\0?\0\0"s, "\x4C\x6F\xA7\x94\x93\xC1"s}) {
        TXmlDoc doc;
        try {
            doc.LoadFromBytes(bytes);
            ADD_FAILURE();
        } catch (const EXmlError& e) {
            EXPECT_EQ(e.Message(), u"Unsupported string encoding");
        }
    }
}

TEST(XmlRead, LoadedDocumentsDeclareTheUtf8TheyNowHold) {
    for (const char* bytes :
         {"<?xml version=\"1.0\" encoding=\"windows-1251\"?><r>\xC6</r>",
          "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"koi8-r\"?><r>\xD0\x96</r>"}) {
        TXmlDoc doc;
        doc.SetCodePageDecoder(platform::DecodeCodePage);
        doc.LoadFromBytes(bytes);
        TXmlDoc again;
        again.LoadFromBytes(doc.SaveToString());
        EXPECT_EQ(RootText(again), u"\u0416") << bytes;
    }
}

TEST(XmlRead, DocumentsWithoutAnElementHaveNoRoot) {
    for (const char* text : {"", "  \r\n", "<?xml version=\"1.0\"?>", "<!-- only -->", "text"}) {
        TXmlDoc doc;
        try {
            doc.LoadFromBytes(text);
            ADD_FAILURE() << text;
        } catch (const EXmlError& e) {
            EXPECT_EQ(e.Message(), u"No root element found in xml") << text;
        }
        EXPECT_EQ(doc.Root()->Name(), "") << "a failed load keeps the document";
    }
}

TEST(XmlRead, TextBecomesTheValueOrCharacterData) {
    TXmlDoc doc;
    doc.LoadFromBytes("<r>\n <a> v &amp; w </a>\n <b>x<!--c-->y<![CDATA[ <z> ]]></b><c>  </c></r>");
    const TXmlNode& r = *doc.Root();
    EXPECT_EQ(r.Value(), "");
    ASSERT_EQ(r.ChildCount(), 3u);
    EXPECT_EQ(r.Child(0).Value(), " v &amp; w ");
    const TXmlNode& b = r.Child(1);
    EXPECT_EQ(b.Value(), "x");
    ASSERT_EQ(b.ChildCount(), 3u);
    EXPECT_EQ(b.Child(0).Type(), TXmlNodeType::Comment);
    EXPECT_EQ(b.Child(1).Type(), TXmlNodeType::CharData);
    EXPECT_EQ(b.Child(1).Value(), "y");
    EXPECT_EQ(b.Child(2).Type(), TXmlNodeType::CData);
    EXPECT_EQ(r.Child(2).Value(), "");
    EXPECT_EQ(r.Child(2).ChildCount(), 0u);
}

TEST(XmlRead, MalformedMarkupIsAnXmlError) {
    for (const char* text :
         {"<a></b>", "<a>", "<a><b></a>", "</a>", "<a/></a>", "<a", "<a x></a>", "<a x=1></a>",
          "<a x=\"1></a>", "<a<b/>", "<r><!-- x</r>", "<r><![CDATA[x</r>", "<r><?pi x</r>",
          "<!DOCTYPE r [<!ELEMENT r ANY>", "<?xml version=\"1.0\"><r/>"}) {
        TXmlDoc doc;
        try {
            doc.LoadFromBytes(text);
            ADD_FAILURE() << text;
        } catch (const EXmlError& e) {
            EXPECT_EQ(e.Message().rfind(u"Malformed XML at line 1: ", 0), 0u) << e.what();
        }
    }
}

std::string Nested(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += "<e>";
    for (int i = 0; i < depth; ++i) text += "</e>";
    return text;
}

TEST(XmlRead, NestingIsLimited) {
    TXmlDoc doc;
    doc.LoadFromBytes(Nested(kMaxXmlDepth));
    doc.SaveToString();
    for (int depth : {kMaxXmlDepth + 1, 1000000}) {
        try {
            doc.LoadFromBytes(Nested(depth));
            ADD_FAILURE() << depth;
        } catch (const EXmlError& e) {
            EXPECT_NE(e.Message().find(u"nested deeper than 256 levels"), String::npos);
        }
    }
}

}  // namespace
}  // namespace wm
