// Storage for the names and values of one load, freed all at once with the document.
#pragma once

#include <cstddef>

namespace wm {

class TXmlArena {
public:
    TXmlArena() = default;
    ~TXmlArena();
    TXmlArena(const TXmlArena&) = delete;
    TXmlArena& operator=(const TXmlArena&) = delete;

    // `size` bytes aligned to 8, valid for as long as the arena.
    void* Allocate(size_t size);

private:
    struct Chunk;

    void* NewChunk(size_t size);

    Chunk* chunks_ = nullptr;  // the newest; each links to the one before
    char* next_ = nullptr;     // the free room of the current chunk
    size_t left_ = 0;
    size_t allocated_ = 0;
};

}  // namespace wm
