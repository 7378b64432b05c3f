// Well-formed documents read by our layer and by expat give the same elements, attributes, text,
// comments and processing instructions.
#include <expat.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/xml/Encode.h"
#include "xml/XmlDoc.h"
#include "xml/XmlText.h"

namespace wm {
namespace {

using Events = std::vector<std::string>;

// Expat reports every line end as LF; our layer keeps text as written.
std::string Lf(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i] == '\r' ? '\n' : text[i];
    }
    return out;
}

void Walk(const TXmlNode& parent, Events& events) {
    for (size_t i = 0; i < parent.ChildCount(); ++i) {
        const TXmlNode& node = parent.Child(i);
        switch (node.Type()) {
            case TXmlNodeType::Element: {
                std::string start = "<" + std::string(node.Name());
                for (const auto& a : node.Attributes()) {
                    start += " " + std::string(a.Name()) + "=" + std::string(a.Value());
                }
                events.push_back(start + ">");
                if (!node.Value().empty()) {
                    events.push_back("text:" + Lf(DecodeEntityReferences(node.Value())));
                }
                Walk(node, events);
                events.push_back("</" + std::string(node.Name()) + ">");
                break;
            }
            case TXmlNodeType::CharData:
                events.push_back("text:" + Lf(DecodeEntityReferences(node.Value())));
                break;
            case TXmlNodeType::CData:
                events.push_back("cdata:" + Lf(node.Value()));
                break;
            case TXmlNodeType::Comment:
                events.push_back("comment:" + Lf(node.Value()));
                break;
            case TXmlNodeType::Stylesheet:
            case TXmlNodeType::Instruction:
                events.push_back("pi:" + std::string(node.Name()) + " " + Lf(node.Value()));
                break;
            default:
                break;
        }
    }
}

Events OurEvents(const std::string& bytes) {
    TXmlDoc doc;
    doc.LoadFromBytes(bytes);
    Events events;
    Walk(doc.TopLevel(), events);
    return events;
}

struct Expat {
    Events events;
    std::string text;
    bool inCdata = false;
    bool inDoctype = false;

    // Text between two markup events; runs of white space only are not kept by our layer.
    void Flush() {
        if (inCdata) {
            events.push_back("cdata:" + text);
        } else if (!IsXmlSpaceOnly(text)) {
            events.push_back("text:" + text);
        }
        text.clear();
    }
    void Push(std::string event) {
        Flush();
        if (!inDoctype) events.push_back(std::move(event));
    }
    static Expat& Of(void* data) { return *static_cast<Expat*>(data); }
};

Events ExpatEvents(const std::string& bytes) {
    Expat state;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char** attributes) {
            std::string start = std::string("<") + name;
            for (; *attributes; attributes += 2) {
                start += std::string(" ") + attributes[0] + "=" + attributes[1];
            }
            Expat::Of(data).Push(start + ">");
        },
        [](void* data, const XML_Char* name) {
            Expat::Of(data).Push(std::string("</") + name + ">");
        });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* text, int length) {
        Expat::Of(data).text.append(text, static_cast<size_t>(length));
    });
    XML_SetCdataSectionHandler(
        parser, [](void* data) { Expat::Of(data).Flush(), Expat::Of(data).inCdata = true; },
        [](void* data) { Expat::Of(data).Flush(), Expat::Of(data).inCdata = false; });
    XML_SetCommentHandler(parser, [](void* data, const XML_Char* text) {
        Expat::Of(data).Push(std::string("comment:") + text);
    });
    XML_SetProcessingInstructionHandler(
        parser, [](void* data, const XML_Char* target, const XML_Char* text) {
            Expat::Of(data).Push(std::string("pi:") + target + " " + text);
        });
    XML_SetDoctypeDeclHandler(
        parser,
        [](void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
            Expat::Of(data).inDoctype = true;
        },
        [](void* data) { Expat::Of(data).inDoctype = false; });
    EXPECT_EQ(XML_Parse(parser, bytes.data(), static_cast<int>(bytes.size()), XML_TRUE),
              XML_STATUS_OK)
        << XML_ErrorString(XML_GetErrorCode(parser));
    XML_ParserFree(parser);
    return state.events;
}

TEST(ExpatDifferential, SameElementsAttributesAndText) {
    const std::u16string utf16 =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<r a=\"\u00e9\">\u0416&amp;<![CDATA[<x>]]>"
        u"<!--c--></r>";
    const std::vector<std::string> documents = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<waymarks>\r\n  <item>\r\n"
        "    <name>build</name>\r\n    <description>Build &amp; test</description>\r\n"
        "    <directory>D:\\src</directory>\r\n  </item>\r\n</waymarks>\r\n",
        "<r a='1 &amp; &lt;2&gt;' b=\"&quot;q&apos;\" c=\"x\r\n\ty&#10;&#x9;z\"><e k='v'/></r>",
        "<r>&amp;&lt;&gt;&apos;&quot;&#65;&#x42;&#x43;&#1046;&#65533; > ]</r>",
        "<r><![CDATA[ <not> &amp; ]] ]> ]]>after<![CDATA[]]><![CDATA[  ]]></r>",
        "<?xml version=\"1.0\"?>\n<?xml-stylesheet type=\"text/xsl\" href=\"s.xsl\"?>\n"
        "<!-- top -->\n<r><?pi  data with > inside ?><!-- in - side --><?empty?></r>\n<!--end-->",
        "<!DOCTYPE r [\n<!ELEMENT r (a*)>\n<!ELEMENT a (#PCDATA)>\n<!-- ']>' -->\n]>\n"
        "<r><a>1</a><a>2</a></r>",
        "<r>one<a/>two<b>three</b>  four  <c/>\n\n</r>",
        "<\xC3\xA9l\xC3\xA9ment attr\xC3\xA9=\"\xE2\x82\xAC\"><x>\xF0\x9F\x98\x80 caf\xC3\xA9</x>"
        "</\xC3\xA9l\xC3\xA9ment>",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r v=\"\xE9\">caf\xE9 \xA4</r>",
        "\xFF\xFE" + test::Encode(utf16, 2, false),
        "\xFE\xFF" + test::Encode(utf16, 2, true),
        test::Encode(utf16, 2, false),
    };
    for (const std::string& document : documents) {
        const Events expected = ExpatEvents(document);
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(OurEvents(document), expected) << document;
    }
}

}  // namespace
}  // namespace wm
