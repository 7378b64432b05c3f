// The storage behind TXmlNode, shared by the node's own code and the tree builder.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "xml/XmlNode.h"

namespace wm {

struct TXmlNode::Head {
    static constexpr uint32_t kStatic = UINT32_MAX;  // never counted, never freed

    uint32_t refs;
    TXmlNodeType type;
    std::string name;
    std::vector<TXmlAttribute> attributes;

    // The unnamed head of each type, without attributes.
    static Head* Empty(TXmlNodeType type);
    static Head* Retain(Head* head) {
        if (head->refs != kStatic) ++head->refs;
        return head;
    }
    static void Release(Head* head) {
        if (head->refs != kStatic && --head->refs == 0) delete head;
    }
};

// A run of consecutive children; the nodes follow the header in the same allocation. A block's
// capacity follows from its first index, unless it was trimmed to its count.
struct TXmlNode::Block {
    static constexpr uint32_t kMinCapacity = 8;

    Block* previous;
    uint32_t first;  // the index of Nodes()[0] among the parent's children
    uint32_t count : 31;
    uint32_t trimmed : 1;

    // A new block holds an eighth of the children before it, at least kMinCapacity: little room
    // is ever unused.
    static uint32_t CapacityAfter(size_t children) {
        return static_cast<uint32_t>(std::max<size_t>(kMinCapacity, children / 8));
    }
    uint32_t Capacity() const { return trimmed ? count : CapacityAfter(first); }

    TXmlNode* Nodes() {
        static_assert(sizeof(Block) % alignof(TXmlNode) == 0);
        return reinterpret_cast<TXmlNode*>(this + 1);
    }
    const TXmlNode* Nodes() const { return reinterpret_cast<const TXmlNode*>(this + 1); }

    // Room for `count` nodes when trimmed, otherwise for CapacityAfter(first).
    static Block* New(Block* previous, bool trimmed, uint32_t count = 0) {
        const uint32_t first = previous ? previous->first + previous->count : 0;
        const size_t capacity = trimmed ? count : CapacityAfter(first);
        void* memory = ::operator new(sizeof(Block) + capacity * sizeof(TXmlNode));
        return new (memory) Block{previous, first, 0, trimmed};
    }
    // Destroys the nodes, last first, and frees the block.
    static void Delete(Block* block) {
        for (uint32_t i = block->count; i > 0; --i) block->Nodes()[i - 1].~TXmlNode();
        ::operator delete(block);
    }
};

}  // namespace wm
