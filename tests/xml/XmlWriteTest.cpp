#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "xml/XmlDoc.h"

namespace wm {
namespace {

TEST(XmlWrite, ReadableStyleByteForByte) {
    TXmlDoc doc;
    doc.SetIndent("\t");
    TXmlNode& root = *doc.Root();
    root.SetName("r");
    root.AddAttribute("empty", "");
    root.AddAttribute("a", "x<\"'&>");
    TXmlNode& withValue = root.AddElement("v");
    withValue.SetText(u"caf\u00e9 & <co>");
    withValue.AddElement("inner");
    root.AddElement("e");
    root.AddChild(TXmlNodeType::Comment).SetValue(" note ");
    root.AddChild(TXmlNodeType::CData).SetValue("<raw>");
    TXmlNode& mixed = root.AddElement("m");
    mixed.AddElement("b");
    mixed.AddChild(TXmlNodeType::CharData).SetValue("tail");
    TXmlNode& pi = root.AddChild(TXmlNodeType::Instruction);
    pi.SetName("pi");
    pi.SetValue("data");

    EXPECT_EQ(doc.SaveToString(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<r a=\"x&lt;&quot;&apos;&amp;&gt;\">\r\n"
              "\t<v>caf\xC3\xA9 &amp; &lt;co&gt;\r\n"
              "\t\t<inner/>\r\n"
              "\t</v>\r\n"
              "\t<e/>\r\n"
              "\t<!-- note -->\r\n"
              "\t<![CDATA[<raw>]]>\r\n"
              "\t<m>\r\n"
              "\t\t<b/>tail\t</m>\r\n"
              "\t<?pi data?>\r\n"
              "</r>\r\n");
}

TEST(XmlWrite, NewDocumentsAreCompact) {
    TXmlDoc doc;
    EXPECT_EQ(doc.SaveToString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><></>");
    doc.Root()->SetName("r");
    doc.Root()->AddElement("a").SetText(u"1");
    doc.Root()->AddElement("b");
    doc.Root()->AddElement("");  // never "</>", which reads as an end tag
    EXPECT_EQ(doc.SaveToString(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><a>1</a><b/><></></r>");
}

TEST(XmlWrite, NamesWithWhiteSpaceOrMarkupAreRefused) {
    for (const char* name : {"a b", "a\tb", "a\nb", "a\rb", "a\x01", "a<b", "a/b", "a=b", "a\"b"}) {
        TXmlNode node(TXmlNodeType::Element);
        try {
            node.SetName(name);
            ADD_FAILURE() << name;
        } catch (const EXmlError& e) {
            EXPECT_EQ(e.Message(), u"Illegal character in node name \"" + Str(name) + u"\"");
        }
        EXPECT_EQ(node.Name(), "");
    }
    TXmlNode node(TXmlNodeType::Element);
    EXPECT_THROW(node.AddElement("x y"), EXmlError);
    EXPECT_EQ(node.ChildCount(), 0u);
}

TEST(XmlWrite, ShortWriteIsReported) {
    std::ostringstream stream;
    stream.setstate(std::ios::badbit);  // as a full disk leaves it
    try {
        TXmlDoc().SaveToStream(stream);
        FAIL();
    } catch (const EXmlError& e) {
        EXPECT_EQ(e.Message(), u"Cannot write to output stream");
    }
}

TEST(XmlWrite, MissingFilesAndFoldersAreFileErrors) {
    const auto missing = std::filesystem::temp_directory_path() / "wm_no_such_folder" / "x.xml";
    TXmlDoc doc;
    EXPECT_THROW(doc.LoadFromFile(missing), EFileError);
    EXPECT_THROW(doc.SaveToFile(missing), EFileError);
}

}  // namespace
}  // namespace wm
