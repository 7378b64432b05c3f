// The terminal the full-screen mode draws on and reads keys from.
#pragma once

#include <cstdint>
#include <memory>

#include "farhost/engine/ScreenBuffer.h"

namespace farhost {

struct TerminalInput {
    // Resize: the terminal changed its size. End: no more input (the terminal went away).
    enum class Kind { Key, Resize, End };
    Kind kind = Kind::End;
    uint32_t key = 0;  // a host key code (farhost::keys)
};

class Terminal {
public:
    virtual ~Terminal() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Shows the buffer (the cells that changed) with its cursor.
    virtual void Show(const ScreenBuffer& screen) = 0;
    // Waits for the next key or resize.
    virtual TerminalInput Read() = 0;
};

// The controlling terminal, taken over until the result is destroyed (and given back on
// fatal signals and std::terminate too). Throws when the terminal cannot be set up; null in
// builds without a terminal library.
std::unique_ptr<Terminal> OpenTerminal();

}  // namespace farhost
