#include "xml/XmlNode.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "core/Format.h"
#include "xml/XmlArena.h"
#include "xml/XmlNodeStorage.h"
#include "xml/XmlText.h"

namespace wm {
namespace {

// Bytes held in place follow the tag byte, which is the lowest byte of a word.
static_assert(std::endian::native == std::endian::little);

constexpr size_t kTypeCount = static_cast<size_t>(TXmlNodeType::Document) + 1;

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

// TXmlCompactString

struct TXmlCompactString::Record {
    size_t size;
    char* Data() { return reinterpret_cast<char*>(this + 1); }
    const char* Data() const { return reinterpret_cast<const char*>(this + 1); }
};

// Short texts in place, others in a record made by `allocate(bytes)`.
template <class Allocate>
uintptr_t TXmlCompactString::Bits(std::string_view text, Allocate&& allocate) {
    if (text.empty()) return 0;
    if (text.size() <= kInlineMax) {
        uintptr_t bits = kInline | text.size() << 1;
        std::memcpy(reinterpret_cast<char*>(&bits) + 1, text.data(), text.size());
        return bits;
    }
    Record* record = new (allocate(sizeof(Record) + text.size())) Record{text.size()};
    std::memcpy(record->Data(), text.data(), text.size());
    return reinterpret_cast<uintptr_t>(record);
}

TXmlCompactString::TXmlCompactString(std::string_view text)
    : bits_(Bits(text, [](size_t size) { return ::operator new(size); })) {
    if (bits_ && !(bits_ & kInline)) bits_ |= kOwned;
}

TXmlCompactString::TXmlCompactString(std::string_view text, TXmlArena& arena)
    : bits_(Bits(text, [&](size_t size) { return arena.Allocate(size); })) {}

TXmlCompactString& TXmlCompactString::operator=(TXmlCompactString&& other) noexcept {
    if (this != &other) {
        Free();
        bits_ = std::exchange(other.bits_, 0);
    }
    return *this;
}

TXmlCompactString::~TXmlCompactString() {
    Free();
}

void TXmlCompactString::Free() {
    // Bit 1 of a text in place is part of its length.
    if ((bits_ & (kInline | kOwned)) == kOwned) {
        ::operator delete(reinterpret_cast<Record*>(bits_ & ~kOwned));
    }
}

std::string_view TXmlCompactString::View() const {
    if (bits_ & kInline) return {reinterpret_cast<const char*>(&bits_) + 1, (bits_ >> 1) & 7};
    if (!bits_) return {};
    const Record* record = reinterpret_cast<const Record*>(bits_ & ~kOwned);
    return {record->Data(), record->size};
}

// Heads

TXmlNode::Head* TXmlNode::Head::Empty(TXmlNodeType type) {
    // Made once in static storage and never destroyed: nodes may outlive the destruction of
    // static objects, and a module that is unloaded takes the storage along.
    struct Bytes {
        alignas(Head) unsigned char bytes[sizeof(Head)];
    };
    static Bytes storage[kTypeCount];
    [[maybe_unused]] static const bool made = [] {
        for (size_t i = 0; i < kTypeCount; ++i) {
            new (storage[i].bytes) Head{static_cast<TXmlNodeType>(i), Storage::Static, 0, {}};
        }
        return true;
    }();
    return std::launder(reinterpret_cast<Head*>(storage[static_cast<size_t>(type)].bytes));
}

TXmlNode::Head* TXmlNode::Head::New(TXmlNodeType type, std::string_view name, uint32_t capacity) {
    void* memory = ::operator new(sizeof(Head) + capacity * sizeof(TXmlAttribute));
    try {
        return new (memory) Head{type, Storage::Owned, 0, TXmlCompactString(name)};
    } catch (...) {
        ::operator delete(memory);
        throw;
    }
}

TXmlNode::Head* TXmlNode::Head::Grow(Head* from) {
    if (from->count >= UINT32_MAX / 2) throw EXmlError(u"Too many attributes");
    Head* to = New(from->type, from->name.View(), Capacity(from->count + 1));
    for (; to->count < from->count; ++to->count) {
        new (to->Attributes() + to->count) TXmlAttribute(std::move(from->Attributes()[to->count]));
    }
    Release(from);
    return to;
}

void TXmlNode::Head::Release(Head* head) {
    if (head->storage != Storage::Owned) return;
    for (uint32_t i = head->count; i > 0; --i) head->Attributes()[i - 1].~TXmlAttribute();
    head->~Head();
    ::operator delete(head);
}

TXmlNode::Body::~Body() {
    Block::DeleteAll(children);
    Head::Release(head);
}

// Nodes

TXmlNode::TXmlNode(TXmlNodeType type) : bits_(reinterpret_cast<uintptr_t>(Head::Empty(type))) {}

TXmlNode::TXmlNode(TXmlNode&& other) noexcept
    : bits_(std::exchange(other.bits_,
                          reinterpret_cast<uintptr_t>(Head::Empty(TXmlNodeType::Unknown)))) {}

TXmlNode::~TXmlNode() {
    Release(bits_);
}

void TXmlNode::Release(uintptr_t bits) {
    Body* body = reinterpret_cast<Body*>(bits & ~kTagMask);
    switch (bits & kTagMask) {
        case kHead:
            return Head::Release(reinterpret_cast<Head*>(bits));
        case kInline:
            return;
        case kLoadedBody:
            return body->~Body();
        default:
            delete body;
    }
}

uintptr_t TXmlNode::InlineBits(TXmlNodeType type, std::string_view value) {
    uintptr_t bits = kInline | static_cast<uintptr_t>(type) << 2 | value.size() << 8;
    std::memcpy(reinterpret_cast<char*>(&bits) + 2, value.data(), value.size());
    return bits;
}

TXmlNode::Head* TXmlNode::GetHead() const {
    switch (bits_ & kTagMask) {
        case kHead:
            return reinterpret_cast<Head*>(bits_);
        case kInline:
            return Head::Empty(Type());
        default:
            return GetBody()->head;
    }
}

TXmlNode::Body* TXmlNode::GetBody() const {
    return bits_ & kLoadedBody ? reinterpret_cast<Body*>(bits_ & ~kTagMask) : nullptr;
}

void TXmlNode::SetHead(Head* head) {
    if (Body* body = GetBody()) {
        body->head = head;
    } else {
        bits_ = reinterpret_cast<uintptr_t>(head);
    }
}

TXmlNode::Body& TXmlNode::OwnBody() {
    if (Body* body = GetBody()) return *body;
    Body* body = new Body(GetHead(), TXmlCompactString(Value()));
    bits_ = reinterpret_cast<uintptr_t>(body) | kOwnedBody;
    return *body;
}

TXmlNode::Head& TXmlNode::OwnHead() {
    Head* head = GetHead();
    if (head->storage == Head::Storage::Owned) return *head;
    if ((bits_ & kTagMask) == kInline) OwnBody();
    Head* own = Head::New(head->type, head->name.View(), Head::Capacity(head->count));
    for (const TXmlAttribute& attribute : std::span(head->Attributes(), head->count)) {
        try {
            new (own->Attributes() + own->count) TXmlAttribute(
                TXmlCompactString(attribute.Name()), TXmlCompactString(attribute.Value()));
        } catch (...) {
            Head::Release(own);
            throw;
        }
        ++own->count;
    }
    SetHead(own);
    return *own;
}

TXmlNodeType TXmlNode::Type() const {
    if ((bits_ & kTagMask) == kInline) return static_cast<TXmlNodeType>(bits_ >> 2 & 0xF);
    return GetHead()->type;
}

std::string_view TXmlNode::Name() const {
    return GetHead()->name.View();
}

void TXmlNode::SetName(std::string_view name) {
    CheckName(name);
    if (name != Name()) OwnHead().name = TXmlCompactString(name);
}

std::string_view TXmlNode::Value() const {
    if ((bits_ & kTagMask) == kInline) {
        return {reinterpret_cast<const char*>(&bits_) + 2, bits_ >> 8 & 0xFF};
    }
    const Body* body = GetBody();
    return body ? body->value.View() : std::string_view();
}

void TXmlNode::SetValue(std::string_view value) {
    if (Body* body = GetBody()) {
        body->value = TXmlCompactString(value);
        return;
    }
    Head* head = GetHead();
    if (head->Plain() && value.size() <= kInlineMax) {
        const TXmlNodeType type = head->type;
        Head::Release(head);
        bits_ = value.empty() ? reinterpret_cast<uintptr_t>(Head::Empty(type))
                              : InlineBits(type, value);
    } else if (!value.empty()) {
        OwnBody().value = TXmlCompactString(value);
    }
}

void TXmlNode::SetText(StringView text) {
    SetValue(EscapeXml(ToUtf8(text)));
}

std::span<const TXmlAttribute> TXmlNode::Attributes() const {
    const Head* head = GetHead();
    return {head->Attributes(), head->count};
}

std::optional<std::string_view> TXmlNode::Attribute(std::string_view name) const {
    for (const TXmlAttribute& attribute : Attributes()) {
        if (attribute.Name() == name) return attribute.Value();
    }
    return std::nullopt;
}

void TXmlNode::SetAttribute(std::string_view name, std::string_view value) {
    Head& head = OwnHead();
    TXmlAttribute* attributes = head.Attributes();
    const auto it = std::find_if(attributes, attributes + head.count,
                                 [&](const TXmlAttribute& a) { return a.Name() == name; });
    if (it != attributes + head.count) {
        it->value_ = TXmlCompactString(value);
    } else {
        AddAttribute(name, value);
    }
}

void TXmlNode::AddAttribute(std::string_view name, std::string_view value) {
    TXmlAttribute attribute{TXmlCompactString(name), TXmlCompactString(value)};
    Head* head = &OwnHead();
    if (head->count == Head::Capacity(head->count)) {
        head = Head::Grow(head);
        SetHead(head);
    }
    new (head->Attributes() + head->count) TXmlAttribute(std::move(attribute));
    ++head->count;
}

size_t TXmlNode::ChildCount() const {
    const Body* body = GetBody();
    return body && body->children ? body->children->End() : 0;
}

TXmlNode& TXmlNode::Child(size_t index) {
    return const_cast<TXmlNode&>(std::as_const(*this).Child(index));
}

const TXmlNode& TXmlNode::Child(size_t index) const {
    if (index >= ChildCount()) throw std::out_of_range("TXmlNode::Child: no such child");
    // The newest blocks are the largest: most children are found within a few steps.
    const Block* block = GetBody()->children;
    while (index < block->first) block = block->previous;
    return block->Nodes()[index - block->first];
}

TXmlNode& TXmlNode::Append(Body& body, uintptr_t bits) {
    Block*& block = body.children;
    if (!block || block->count == block->Capacity()) {
        if (block && block->End() >= INT32_MAX / 2) throw EXmlError(u"Too many child nodes");
        block = Block::New(block, false);
    }
    TXmlNode* node = new (block->Nodes() + block->count) TXmlNode(TXmlNodeType::Unknown);
    node->bits_ = bits;
    ++block->count;
    return *node;
}

TXmlNode& TXmlNode::AddChild(TXmlNodeType type) {
    return Append(OwnBody(), reinterpret_cast<uintptr_t>(Head::Empty(type)));
}

TXmlNode& TXmlNode::AddElement(std::string_view name) {
    CheckName(name);
    if (name.empty()) return AddChild(TXmlNodeType::Element);
    std::unique_ptr<Head, decltype(&Head::Release)> head(Head::New(TXmlNodeType::Element, name, 0),
                                                         &Head::Release);
    TXmlNode& element = Append(OwnBody(), reinterpret_cast<uintptr_t>(head.get()));
    head.release();
    return element;
}

void TXmlNode::Clear() {
    // The head is kept without attributes; the value and the children go with the body.
    Head* head = GetHead();
    if (head->count > 0 && head->storage == Head::Storage::Owned) {
        for (uint32_t i = head->count; i > 0; --i) head->Attributes()[i - 1].~TXmlAttribute();
        head->count = 0;
    } else if (head->count > 0) {
        head = Head::New(head->type, head->name.View(), 0);
    }
    if (Body* body = GetBody()) {
        body->head = Head::Empty(TXmlNodeType::Unknown);
        Release(bits_);
    }
    bits_ = reinterpret_cast<uintptr_t>(head);
}

}  // namespace wm
