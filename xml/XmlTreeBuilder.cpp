#include <functional>
#include <string_view>

#include "xml/XmlArena.h"
#include "xml/XmlNode.h"
#include "xml/XmlNodeStorage.h"

namespace wm {
namespace {

// Slots looked at for one name: names that share a slot can still be kept side by side.
constexpr size_t kProbes = 4;

}  // namespace

TXmlTreeBuilder::TXmlTreeBuilder(TXmlArena& arena)
    : arena_(arena), heads_(std::make_unique<TXmlNode::Head*[]>(kSlots)) {}

TXmlTreeBuilder::~TXmlTreeBuilder() = default;

TXmlNode& TXmlTreeBuilder::AddChild(TXmlNode& parent, TXmlNodeType type, std::string_view name,
                                    size_t attributes) {
    using Head = TXmlNode::Head;
    Head* head = nullptr;
    if (name.empty() && attributes == 0) {
        head = Head::Empty(type);
    } else if (attributes > 0) {
        if (attributes >= UINT32_MAX / 2) throw EXmlError(u"Too many attributes");
        void* memory = arena_.Allocate(sizeof(Head) + attributes * sizeof(TXmlAttribute));
        head = new (memory) Head{type, Head::Storage::Loaded, 0, TXmlCompactString(name, arena_)};
    } else {
        const size_t hash = std::hash<std::string_view>()(name) + static_cast<size_t>(type);
        Head** vacant = nullptr;
        for (size_t i = 0; i < kProbes && !head; ++i) {
            Head*& slot = heads_[(hash + i) % kSlots];
            if (!slot) {
                if (!vacant) vacant = &slot;
            } else if (slot->type == type && slot->name.View() == name) {
                head = slot;
            }
        }
        if (!head) {
            head = new (arena_.Allocate(sizeof(Head)))
                Head{type, Head::Storage::Loaded, 0, TXmlCompactString(name, arena_)};
            *(vacant ? vacant : &heads_[hash % kSlots]) = head;
        }
    }
    return parent.Append(LoadedBody(parent), reinterpret_cast<uintptr_t>(head));
}

void TXmlTreeBuilder::AddAttribute(TXmlNode& node, std::string_view name, std::string_view value) {
    TXmlNode::Head* head = node.GetHead();
    new (head->Attributes() + head->count)
        TXmlAttribute(TXmlCompactString(name, arena_), TXmlCompactString(value, arena_));
    ++head->count;
}

void TXmlTreeBuilder::SetValue(TXmlNode& node, std::string_view value) {
    if (value.empty()) return;
    if (!node.GetBody() && node.GetHead()->Plain() && value.size() <= TXmlNode::kInlineMax) {
        node.bits_ = TXmlNode::InlineBits(node.Type(), value);
        return;
    }
    LoadedBody(node).value = TXmlCompactString(value, arena_);
}

TXmlNode::Body& TXmlTreeBuilder::LoadedBody(TXmlNode& node) {
    using Body = TXmlNode::Body;
    if (Body* body = node.GetBody()) return *body;
    Body* body = new (arena_.Allocate(sizeof(Body)))
        Body(node.GetHead(), TXmlCompactString(node.Value(), arena_));
    node.bits_ = reinterpret_cast<uintptr_t>(body) | TXmlNode::kLoadedBody;
    return *body;
}

void TXmlTreeBuilder::Complete(TXmlNode& node) {
    using Block = TXmlNode::Block;
    TXmlNode::Body* body = node.GetBody();
    Block* last = body ? body->children : nullptr;
    if (!last || last->count == last->Capacity()) return;
    Block* trimmed = Block::New(last->previous, true, last->count);
    for (uint32_t i = 0; i < last->count; ++i) {
        new (trimmed->Nodes() + i) TXmlNode(std::move(last->Nodes()[i]));
        ++trimmed->count;
    }
    body->children = trimmed;
    Block::Delete(last);
}

}  // namespace wm
