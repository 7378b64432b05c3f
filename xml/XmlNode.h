// The XML document model: a tree of nodes whose names and values are held as UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

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

class TXmlArena;

// A name or value in one word: up to seven bytes in place, longer ones in a record of their
// own, owned on the heap or borrowed from the arena of the load that read them.
class TXmlCompactString {
public:
    TXmlCompactString() = default;
    // Longer texts on the heap.
    explicit TXmlCompactString(std::string_view text);
    // Longer texts in the arena.
    TXmlCompactString(std::string_view text, TXmlArena& arena);
    TXmlCompactString(TXmlCompactString&& other) noexcept : bits_(std::exchange(other.bits_, 0)) {}
    TXmlCompactString& operator=(TXmlCompactString&& other) noexcept;
    ~TXmlCompactString();

    std::string_view View() const;
    bool Empty() const { return bits_ == 0; }

private:
    static constexpr uintptr_t kInline = 1;  // length in bits 1-3, the bytes from the second on
    static constexpr uintptr_t kOwned = 2;   // a record on the heap
    static constexpr size_t kInlineMax = 7;
    struct Record;

    template <class Allocate>
    static uintptr_t Bits(std::string_view text, Allocate&& allocate);
    void Free();

    uintptr_t bits_ = 0;  // zero while empty
};

class TXmlAttribute {
public:
    TXmlAttribute(TXmlCompactString name, TXmlCompactString value)
        : name_(std::move(name)), value_(std::move(value)) {}

    std::string_view Name() const { return name_.View(); }
    std::string_view Value() const { return value_.View(); }  // as text, not escaped

private:
    friend class TXmlNode;
    TXmlCompactString name_;
    TXmlCompactString value_;
};

// What a node holds, by type:
// - Element: Name, Attributes, Value (its text, escaped as in the file) and children.
// - Comment, CData, CharData: Value, the content as written.
// - Declaration: Attributes.
// - Stylesheet, Instruction: Name (the target) and Value (the rest, raw).
// - DocType and the other <! constructs: Name (the keyword as written) and Value (the rest up
//   to the closing ">", raw, leading white space included).
//
// A node is one word, so that files of many small nodes take little memory: the head (type,
// name and attributes), shared by the nodes of one load with the same type and name and no
// attributes (copied before a change); a value of up to six bytes in place when there is no
// name or attribute; or a body holding the head, the value and the children. Children are kept
// in blocks that never move, so that a reference to a node stays valid while others are added.
// Views of names, values and attributes stay valid until the node changes.
class TXmlNode {
public:
    explicit TXmlNode(TXmlNodeType type);
    ~TXmlNode();
    TXmlNode(const TXmlNode&) = delete;
    TXmlNode& operator=(const TXmlNode&) = delete;

    TXmlNodeType Type() const;
    bool IsElement() const { return Type() == TXmlNodeType::Element; }

    std::string_view Name() const;
    // Raises EXmlError "Illegal character in node name" for control characters, space and
    // markup delimiters.
    void SetName(std::string_view name);

    std::string_view Value() const;
    void SetValue(std::string_view value);
    // UTF-16 text, held as escaped UTF-8.
    void SetText(StringView text);

    std::span<const TXmlAttribute> Attributes() const;
    // The value of the first attribute with this name, or nothing.
    std::optional<std::string_view> Attribute(std::string_view name) const;
    // Replaces the value of the first attribute with this name, or appends a new one.
    void SetAttribute(std::string_view name, std::string_view value);
    // Appends, also when the name is already present (as read from a file).
    void AddAttribute(std::string_view name, std::string_view value);

    size_t ChildCount() const;
    // Raises std::out_of_range for an index past the last child.
    TXmlNode& Child(size_t index);
    const TXmlNode& Child(size_t index) const;
    TXmlNode& AddChild(TXmlNodeType type);
    // A new element, named and appended after the existing children.
    TXmlNode& AddElement(std::string_view name);
    void Clear();

private:
    friend class TXmlTreeBuilder;
    struct Head;
    struct Body;
    struct Block;

    // The low bits of bits_; heads and bodies are aligned to 8.
    static constexpr uintptr_t kHead = 0;
    static constexpr uintptr_t kInline = 1;  // type in bits 2-5, length in the second byte
    static constexpr uintptr_t kLoadedBody = 2;
    static constexpr uintptr_t kOwnedBody = 3;
    static constexpr uintptr_t kTagMask = 3;
    static constexpr size_t kInlineMax = 6;

    TXmlNode(TXmlNode&& other) noexcept;
    static uintptr_t InlineBits(TXmlNodeType type, std::string_view value);
    static void Release(uintptr_t bits);
    Head* GetHead() const;
    Body* GetBody() const;
    // Precondition: the value is not held in place.
    void SetHead(Head* head);
    Head& OwnHead();
    Body& OwnBody();
    TXmlNode& Append(Body& body, uintptr_t bits);

    uintptr_t bits_;
};

// What the parser needs beyond the public operations: heads shared among the nodes of one load
// with the same type and name, attribute lists allocated at their final size, names and values
// kept in the load's arena, and children's storage trimmed once an element is complete. Used by
// one load at a time; the arena must outlive the nodes.
class TXmlTreeBuilder {
public:
    explicit TXmlTreeBuilder(TXmlArena& arena);
    ~TXmlTreeBuilder();
    TXmlTreeBuilder(const TXmlTreeBuilder&) = delete;
    TXmlTreeBuilder& operator=(const TXmlTreeBuilder&) = delete;

    // A new child with room for `attributes` attributes, added by AddAttribute.
    TXmlNode& AddChild(TXmlNode& parent, TXmlNodeType type, std::string_view name = {},
                       size_t attributes = 0);
    void AddAttribute(TXmlNode& node, std::string_view name, std::string_view value);
    void SetValue(TXmlNode& node, std::string_view value);
    // Frees the unused room of the node's children; references to its children become invalid.
    void Complete(TXmlNode& node);

private:
    static constexpr size_t kSlots = 1024;

    TXmlNode::Body& LoadedBody(TXmlNode& node);

    TXmlArena& arena_;
    // Heads without attributes by the hash of their type and name; a head pushed out by another
    // costs no more than not sharing it.
    std::unique_ptr<TXmlNode::Head*[]> heads_;
};

// Bytes that end a name in markup; SetName refuses names holding any of them.
bool IsXmlNameDelimiter(char c);

}  // namespace wm
