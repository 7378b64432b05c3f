#include "xml/XmlWriter.h"

#include "xml/XmlText.h"

namespace wm {
namespace {

class Writer {
public:
    Writer(TXmlOutputStyle style, std::string_view indent, std::string& out)
        : readable_(style == TXmlOutputStyle::Readable), indent_(indent), out_(out) {}

    void WriteTopLevel(const TXmlNode& top) {
        for (size_t i = 0; i < top.ChildCount(); ++i) {
            WriteNode(top.Child(i), 0);
            NewLine();
        }
    }

private:
    void NewLine() {
        if (readable_) out_ += "\r\n";
    }

    void Indent(int level) {
        if (!readable_) return;
        for (int i = 0; i < level; ++i) out_ += indent_;
    }

    // Attributes with an empty value are left out.
    void WriteAttributes(const TXmlNode& node) {
        for (const TXmlAttribute& attribute : node.Attributes()) {
            if (attribute.Value().empty()) continue;
            out_ += ' ';
            out_ += attribute.Name();
            out_ += "=\"";
            out_ += EscapeXml(attribute.Value());
            out_ += '"';
        }
    }

    // Depth is bounded: loaded documents are at most kMaxXmlDepth deep.
    void WriteNode(const TXmlNode& node, int level) {
        switch (node.Type()) {
            case TXmlNodeType::Element:
                return WriteElement(node, level);
            case TXmlNodeType::CharData:
                out_ += node.Value();
                return;
            case TXmlNodeType::Declaration:
                Indent(level);
                out_ += "<?xml";
                WriteAttributes(node);
                out_ += "?>";
                return;
            case TXmlNodeType::Stylesheet:
            case TXmlNodeType::Instruction:
                Indent(level);
                out_ += "<?";
                out_ += node.Name();
                if (!node.Value().empty()) out_ += ' ';
                out_ += node.Value();
                out_ += "?>";
                return;
            case TXmlNodeType::Comment:
                return WriteDelimited(level, "<!--", node.Value(), "-->");
            case TXmlNodeType::CData:
                return WriteDelimited(level, "<![CDATA[", node.Value(), "]]>");
            case TXmlNodeType::DocType:
            case TXmlNodeType::ElementDecl:
            case TXmlNodeType::AttListDecl:
            case TXmlNodeType::EntityDecl:
            case TXmlNodeType::NotationDecl:
            case TXmlNodeType::Other:
                Indent(level);
                out_ += "<!";
                out_ += node.Name();
                out_ += node.Value();
                out_ += '>';
                return;
            case TXmlNodeType::Unknown:
            case TXmlNodeType::Document:
                return;
        }
    }

    void WriteDelimited(int level, std::string_view open, std::string_view content,
                        std::string_view close) {
        Indent(level);
        out_ += open;
        out_ += content;
        out_ += close;
    }

    void WriteElement(const TXmlNode& node, int level) {
        Indent(level);
        out_ += '<';
        out_ += node.Name();
        WriteAttributes(node);
        const size_t count = node.ChildCount();
        // "</>" would read as an end tag: an unnamed element always gets one of its own.
        if (node.Value().empty() && count == 0 && level > 0 && !node.Name().empty()) {
            out_ += "/>";
            return;
        }
        out_ += '>';
        out_ += node.Value();
        if (count > 0) {
            NewLine();
            for (size_t i = 0; i < count; ++i) {
                const TXmlNode& child = node.Child(i);
                WriteNode(child, level + 1);
                // Character data stays on the line of what stands before it.
                const bool nextIsText =
                    i + 1 < count && node.Child(i + 1).Type() == TXmlNodeType::CharData;
                if (child.Type() != TXmlNodeType::CharData && !nextIsText) NewLine();
            }
            Indent(level);
        }
        out_ += "</";
        out_ += node.Name();
        out_ += '>';
    }

    bool readable_;
    std::string_view indent_;
    std::string& out_;
};

}  // namespace

void WriteXml(const TXmlNode& top, TXmlOutputStyle style, std::string_view indent,
              std::string& out) {
    Writer(style, indent, out).WriteTopLevel(top);
}

}  // namespace wm
