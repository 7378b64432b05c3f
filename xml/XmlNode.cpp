#include "xml/XmlNode.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "core/Format.h"
#include "xml/XmlNodeStorage.h"
#include "xml/XmlText.h"

namespace wm {
namespace {

constexpr size_t kTypeCount = static_cast<size_t>(TXmlNodeType::Document) + 1;

const std::string& EmptyString() {
    static const std::string empty;
    return empty;
}

void CheckName(std::string_view name) {
    if (std::any_of(name.begin(), name.end(), IsXmlNameDelimiter)) {
        throw EXmlError(Format(u"Illegal character in node name \"%s\"", {FromUtf8(name)}));
    }
}

}  // namespace

bool IsXmlNameDelimiter(char c) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
    switch (c) {
        case ' ':
        case '<':
        case '>':
        case '/':
        case '=':
        case '?':
        case '&':
        case '"':
        case '\'':
            return true;
        default:
            return false;
    }
}

TXmlNode::Head* TXmlNode::Head::Empty(TXmlNodeType type) {
    // Made once in static storage and never destroyed: nodes may outlive the destruction of
    // static objects, and a module that is unloaded takes the storage along.
    struct Storage {
        alignas(Head) unsigned char bytes[sizeof(Head)];
    };
    static Storage storage[kTypeCount];
    [[maybe_unused]] static const bool made = [] {
        for (size_t i = 0; i < kTypeCount; ++i) {
            new (storage[i].bytes) Head{kStatic, static_cast<TXmlNodeType>(i), {}, {}};
        }
        return true;
    }();
    return std::launder(reinterpret_cast<Head*>(storage[static_cast<size_t>(type)].bytes));
}

TXmlNode::TXmlNode(TXmlNodeType type) : head_(Head::Empty(type)) {}

TXmlNode::TXmlNode(TXmlNode&& other) noexcept
    : head_(std::exchange(other.head_, Head::Empty(TXmlNodeType::Unknown))),
      value_(std::move(other.value_)),
      children_(std::exchange(other.children_, nullptr)) {}

TXmlNode::~TXmlNode() {
    ClearChildren();
    Head::Release(head_);
}

TXmlNode::Head& TXmlNode::OwnHead() {
    if (head_->refs != 1) {
        Head* own = new Head{1, head_->type, head_->name, head_->attributes};
        Head::Release(std::exchange(head_, own));
    }
    return *head_;
}

TXmlNodeType TXmlNode::Type() const {
    return head_->type;
}

const std::string& TXmlNode::Name() const {
    return head_->name;
}

void TXmlNode::SetName(std::string name) {
    CheckName(name);
    if (name != head_->name) OwnHead().name = std::move(name);
}

const std::string& TXmlNode::Value() const {
    return value_ ? *value_ : EmptyString();
}

void TXmlNode::SetValue(std::string value) {
    if (value.empty()) {
        value_.reset();
    } else if (value_) {
        *value_ = std::move(value);
    } else {
        value_ = std::make_unique<std::string>(std::move(value));
    }
}

void TXmlNode::SetText(StringView text) {
    SetValue(EscapeXml(ToUtf8(text)));
}

const std::vector<TXmlAttribute>& TXmlNode::Attributes() const {
    return head_->attributes;
}

const std::string* TXmlNode::Attribute(std::string_view name) const {
    const auto& attributes = head_->attributes;
    const auto it = std::find_if(attributes.begin(), attributes.end(),
                                 [&](const TXmlAttribute& a) { return a.Name == name; });
    return it == attributes.end() ? nullptr : &it->Value;
}

void TXmlNode::SetAttribute(std::string_view name, std::string value) {
    auto& attributes = OwnHead().attributes;
    const auto it = std::find_if(attributes.begin(), attributes.end(),
                                 [&](const TXmlAttribute& a) { return a.Name == name; });
    if (it != attributes.end()) {
        it->Value = std::move(value);
    } else {
        attributes.push_back({std::string(name), std::move(value)});
    }
}

void TXmlNode::AddAttribute(std::string name, std::string value) {
    OwnHead().attributes.push_back({std::move(name), std::move(value)});
}

size_t TXmlNode::ChildCount() const {
    return children_ ? size_t{children_->first} + children_->count : 0;
}

TXmlNode& TXmlNode::Child(size_t index) {
    return const_cast<TXmlNode&>(std::as_const(*this).Child(index));
}

const TXmlNode& TXmlNode::Child(size_t index) const {
    if (index >= ChildCount()) throw std::out_of_range("TXmlNode::Child: no such child");
    // The newest blocks are the largest: most children are found within a few steps.
    const Block* block = children_;
    while (index < block->first) block = block->previous;
    return block->Nodes()[index - block->first];
}

void TXmlNode::MakeRoom() {
    if (children_ && children_->count < children_->Capacity()) return;
    if (ChildCount() >= INT32_MAX / 2) throw EXmlError(u"Too many child nodes");
    children_ = Block::New(children_, false);
}

TXmlNode& TXmlNode::Append(Head* head) {
    try {
        MakeRoom();
    } catch (...) {
        Head::Release(head);
        throw;
    }
    TXmlNode* node = new (children_->Nodes() + children_->count) TXmlNode(TXmlNodeType::Unknown);
    node->head_ = head;
    ++children_->count;
    return *node;
}

TXmlNode& TXmlNode::AddChild(TXmlNodeType type) {
    return Append(Head::Empty(type));
}

TXmlNode& TXmlNode::AddElement(std::string name) {
    CheckName(name);
    if (name.empty()) return AddChild(TXmlNodeType::Element);
    return Append(new Head{1, TXmlNodeType::Element, std::move(name), {}});
}

void TXmlNode::ClearChildren() {
    while (children_) {
        Block* previous = children_->previous;
        Block::Delete(children_);
        children_ = previous;
    }
}

void TXmlNode::Clear() {
    value_.reset();
    if (!head_->attributes.empty()) OwnHead().attributes = {};
    ClearChildren();
}

}  // namespace wm
