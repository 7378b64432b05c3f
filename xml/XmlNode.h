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
//
// A node is three pointers: its type, name and attributes, shared by the elements of one load
// that have the same name and no attributes (copied before a change); its value, absent while
// empty; and its children, kept in blocks that never move, so that a reference to a node stays
// valid while others are added.
class TXmlNode {
public:
    explicit TXmlNode(TXmlNodeType type);
    ~TXmlNode();
    TXmlNode(const TXmlNode&) = delete;
    TXmlNode& operator=(const TXmlNode&) = delete;

    TXmlNodeType Type() const;
    bool IsElement() const { return Type() == TXmlNodeType::Element; }

    const std::string& Name() const;
    // Raises EXmlError "Illegal character in node name" for control characters, space and
    // markup delimiters.
    void SetName(std::string name);

    const std::string& Value() const;
    void SetValue(std::string value);
    // UTF-16 text, held as escaped UTF-8.
    void SetText(StringView text);

    const std::vector<TXmlAttribute>& Attributes() const;
    // The value of the first attribute with this name, or null.
    const std::string* Attribute(std::string_view name) const;
    // Replaces the value of the first attribute with this name, or appends a new one.
    void SetAttribute(std::string_view name, std::string value);
    // Appends, also when the name is already present (as read from a file).
    void AddAttribute(std::string name, std::string value);

    size_t ChildCount() const;
    // Raises std::out_of_range for an index past the last child.
    TXmlNode& Child(size_t index);
    const TXmlNode& Child(size_t index) const;
    TXmlNode& AddChild(TXmlNodeType type);
    // A new element, named and appended after the existing children.
    TXmlNode& AddElement(std::string name);
    void Clear();

private:
    friend class TXmlTreeBuilder;
    struct Head;
    struct Block;

    TXmlNode(TXmlNode&& other) noexcept;
    void MakeRoom();
    // Takes over one reference to `head`.
    TXmlNode& Append(Head* head);
    Head& OwnHead();
    void ClearChildren();

    Head* head_;
    std::unique_ptr<std::string> value_;
    Block* children_ = nullptr;  // the newest block; each links to the one before
};

// What the parser needs beyond the public operations: one shared name per distinct element name
// of a load, attribute lists allocated at their final size, and children's storage trimmed once
// an element is complete. Used by one load at a time.
class TXmlTreeBuilder {
public:
    TXmlTreeBuilder();
    ~TXmlTreeBuilder();
    TXmlTreeBuilder(const TXmlTreeBuilder&) = delete;
    TXmlTreeBuilder& operator=(const TXmlTreeBuilder&) = delete;

    TXmlNode& AddElement(TXmlNode& parent, std::string_view name);
    void ReserveAttributes(TXmlNode& node, size_t count);
    // Frees the unused room of the node's children; references to its children become invalid.
    void Complete(TXmlNode& node);

private:
    struct Names;
    std::unique_ptr<Names> names_;
};

// Bytes that end a name in markup; SetName refuses names holding any of them.
bool IsXmlNameDelimiter(char c);

}  // namespace wm
