// The XML document model: a tree of nodes whose names and values are held as UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/Exceptions.h"
#include "core/String.h"

namespace wm {

WM_DECLARE_EXCEPTION(EXmlError, Exception);

// Elements nested deeper than this are rejected when a document is loaded, so that nothing a
// file holds can drive the recursive parts of the layer (writing, destruction) deeper.
constexpr int kMaxXmlDepth = 256;

enum class TXmlNodeType : uint8_t {
    Element,
    Comment,
    CData,
    Declaration,   // <?xml ...?>, its pseudo-attributes as attributes
    Stylesheet,    // <?xml-stylesheet ...?>
    DocType,       // <!DOCTYPE ...>, internal subset included in the value
    ElementDecl,   // <!ELEMENT ...>
    AttListDecl,   // <!ATTLIST ...>
    EntityDecl,    // <!ENTITY ...>
    NotationDecl,  // <!NOTATION ...>
    Instruction,   // any other <?target ...?>
    Other,         // any other <!...>
    CharData,
    Unknown,
    Document,  // the top level of a document; never a child
};

struct TXmlAttribute {
    std::string Name;
    std::string Value;  // as text, not escaped
};

// What a node holds, by type:
// - Element: Name, Attributes, Value (its text, escaped as in the file) and children.
// - Comment, CData, CharData: Value, the content as written.
// - Declaration: Attributes.
// - Stylesheet, Instruction: Name (the target) and Value (the rest, raw).
// - DocType and the other <! constructs: Name (the keyword as written) and Value (the rest up
//   to the closing ">", raw, leading white space included).
class TXmlNode {
public:
    explicit TXmlNode(TXmlNodeType type) : type_(type) {}
    TXmlNode(const TXmlNode&) = delete;
    TXmlNode& operator=(const TXmlNode&) = delete;

    TXmlNodeType Type() const { return type_; }
    bool IsElement() const { return type_ == TXmlNodeType::Element; }

    const std::string& Name() const { return name_; }
    // Raises EXmlError "Illegal character in node name" for control characters, space and
    // markup delimiters.
    void SetName(std::string name);

    const std::string& Value() const { return value_; }
    void SetValue(std::string value) { value_ = std::move(value); }
    // UTF-16 text, held as escaped UTF-8.
    void SetText(StringView text);

    const std::vector<TXmlAttribute>& Attributes() const { return attributes_; }
    // The value of the first attribute with this name, or null.
    const std::string* Attribute(std::string_view name) const;
    // Replaces the value of the first attribute with this name, or appends a new one.
    void SetAttribute(std::string_view name, std::string value);
    // Appends, also when the name is already present (as read from a file).
    void AddAttribute(std::string name, std::string value);

    size_t ChildCount() const { return children_.size(); }
    TXmlNode& Child(size_t index) { return *children_.at(index); }
    const TXmlNode& Child(size_t index) const { return *children_.at(index); }
    TXmlNode& AddChild(TXmlNodeType type);
    // A new element, named and appended after the existing children.
    TXmlNode& AddElement(std::string name);
    void Clear();

private:
    TXmlNodeType type_;
    std::string name_;
    std::string value_;
    std::vector<TXmlAttribute> attributes_;
    std::vector<std::unique_ptr<TXmlNode>> children_;
};

// Bytes that end a name in markup; SetName refuses names holding any of them.
bool IsXmlNameDelimiter(char c);

}  // namespace wm
