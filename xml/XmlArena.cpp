#include "xml/XmlArena.h"

#include <algorithm>
#include <new>
#include <utility>

namespace wm {
namespace {

// Chunks grow with what the load has taken, so that a small document takes little and the room
// left unused in the last chunk stays a small part of a large one.
constexpr size_t kMinChunk = 512;
constexpr size_t kMaxChunk = 64 << 10;
// Larger requests get a chunk of their own and leave the current one in use.
constexpr size_t kMaxShared = kMaxChunk / 4;
constexpr size_t kAlignment = 8;

}  // namespace

struct TXmlArena::Chunk {
    Chunk* previous;
};

TXmlArena::~TXmlArena() {
    while (chunks_) ::operator delete(std::exchange(chunks_, chunks_->previous));
}

void* TXmlArena::NewChunk(size_t size) {
    static_assert(sizeof(Chunk) % kAlignment == 0);
    Chunk* chunk = static_cast<Chunk*>(::operator new(sizeof(Chunk) + size));
    chunk->previous = chunks_;
    chunks_ = chunk;
    allocated_ += size;
    return chunk + 1;
}

void* TXmlArena::Allocate(size_t size) {
    size = (size + kAlignment - 1) & ~(kAlignment - 1);
    if (size > left_) {
        if (size > kMaxShared) return NewChunk(size);
        const size_t chunk = std::max(size, std::clamp(allocated_ / 2, kMinChunk, kMaxChunk));
        next_ = static_cast<char*>(NewChunk(chunk));
        left_ = chunk;
    }
    left_ -= size;
    return std::exchange(next_, next_ + size);
}

}  // namespace wm
