#include <string_view>
#include <unordered_map>

#include "xml/XmlNode.h"
#include "xml/XmlNodeStorage.h"

namespace wm {

// The heads of the element names met so far, each keyed by a view of its own name and holding
// one reference. Bounded, so that a file of ever new names costs no more than without sharing.
struct TXmlTreeBuilder::Names {
    static constexpr size_t kMax = 1024;

    std::unordered_map<std::string_view, TXmlNode::Head*> heads;

    ~Names() {
        for (auto& entry : heads) TXmlNode::Head::Release(entry.second);
    }
};

TXmlTreeBuilder::TXmlTreeBuilder() : names_(std::make_unique<Names>()) {}

TXmlTreeBuilder::~TXmlTreeBuilder() = default;

TXmlNode& TXmlTreeBuilder::AddElement(TXmlNode& parent, std::string_view name) {
    using Head = TXmlNode::Head;
    const auto found = names_->heads.find(name);
    if (found != names_->heads.end()) return parent.Append(Head::Retain(found->second));
    if (names_->heads.size() >= Names::kMax || name.empty()) {
        return parent.AddElement(std::string(name));
    }
    TXmlNode& element = parent.AddElement(std::string(name));
    names_->heads.emplace(element.head_->name, element.head_);
    Head::Retain(element.head_);
    return element;
}

void TXmlTreeBuilder::ReserveAttributes(TXmlNode& node, size_t count) {
    if (count > 0) node.OwnHead().attributes.reserve(count);
}

void TXmlTreeBuilder::Complete(TXmlNode& node) {
    using Block = TXmlNode::Block;
    Block* last = node.children_;
    if (!last || last->count == last->Capacity()) return;
    Block* trimmed = Block::New(last->previous, true, last->count);
    for (uint32_t i = 0; i < last->count; ++i) {
        new (trimmed->Nodes() + i) TXmlNode(std::move(last->Nodes()[i]));
        ++trimmed->count;
    }
    node.children_ = trimmed;
    Block::Delete(last);
}

}  // namespace wm
