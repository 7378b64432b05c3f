// The input mask of a fixed edit: each character of the mask is a position of the text. '9'
// takes a digit, '#' a digit, blank, '+' or '-', 'A' a letter, 'H' a hexadecimal digit, 'X'
// anything; every other character stands in the text as it is and cannot be typed over.
#pragma once

#include <cstddef>

#include "core/String.h"

namespace farhost {

class EditMask {
public:
    explicit EditMask(wm::StringView mask) : mask_(mask) {}

    size_t Size() const { return mask_.size(); }
    bool Placeholder(size_t position) const;
    bool Accepts(size_t position, char16_t c) const;
    // The text fitted to the mask: its fixed characters, and the text's characters (or blanks)
    // at the positions to type in.
    wm::String Apply(wm::StringView text) const;
    // The text with every position to type in blank.
    wm::String Blank() const { return Apply({}); }
    // The first position to type in at or after `from`, and the last one before it; Size()
    // when there is none.
    size_t Next(size_t from) const;
    size_t Previous(size_t from) const;

private:
    wm::String mask_;
};

}  // namespace farhost
