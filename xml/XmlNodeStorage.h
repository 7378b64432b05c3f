// The storage behind TXmlNode, shared by the node's own code and the tree builder.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <new>

#include "xml/XmlNode.h"

namespace wm {

// The attributes follow the head in the same allocation.
struct TXmlNode::Head {
    enum class Storage : uint8_t {
        Static,  // the unnamed heads, never freed
        Loaded,  // in a load's arena, never changed
        Owned,   // on the heap, owned by one node, with room for Capacity(count) attributes
    };

    TXmlNodeType type;
    Storage storage;
    uint32_t count = 0;
    TXmlCompactString name;

    static uint32_t Capacity(uint32_t count) { return count == 0 ? 0 : std::bit_ceil(count); }

    TXmlAttribute* Attributes() {
        static_assert(sizeof(Head) % alignof(TXmlAttribute) == 0);
        return std::launder(reinterpret_cast<TXmlAttribute*>(this + 1));
    }
    const TXmlAttribute* Attributes() const { return const_cast<Head*>(this)->Attributes(); }
    // Without name and attributes: the same as the unnamed head of its type.
    bool Plain() const { return name.Empty() && count == 0; }

    // The unnamed head of each type, without attributes.
    static Head* Empty(TXmlNodeType type);
    // A head on the heap with room for `capacity` attributes and none yet.
    static Head* New(TXmlNodeType type, std::string_view name, uint32_t capacity);
    // An owned head with room for one attribute more, the attributes of the owned `from` moved
    // into it; `from` is released.
    static Head* Grow(Head* from);
    static void Release(Head* head);
};

// Owns its head and children; in the arena for loaded nodes, on the heap for others.
struct TXmlNode::Body {
    Head* head;
    TXmlCompactString value;
    Block* children = nullptr;  // the newest block; each links to the one before

    Body(Head* head, TXmlCompactString value) : head(head), value(std::move(value)) {}
    ~Body();
    Body(const Body&) = delete;
    Body& operator=(const Body&) = delete;
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
    size_t End() const { return size_t{first} + count; }

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
    // Deletes the block and the ones before it.
    static void DeleteAll(Block* newest) {
        while (newest) Delete(std::exchange(newest, newest->previous));
    }
};

}  // namespace wm
