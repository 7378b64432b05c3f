// Portable declarations of the host's basic types: the same bytes on Win64 (LLP64) and x86_64 Linux
// (LP64).
#pragma once

#include <cstddef>
#include <cstdint>

namespace far {

// The host's 16-bit text character: wchar_t on Windows, char16_t elsewhere.
#ifdef _WIN32
using HostChar = wchar_t;
#else
using HostChar = char16_t;
#endif
static_assert(sizeof(HostChar) == 2, "host texts are 16-bit");

using HostText = const HostChar*;
using HANDLE = void*;
using INT_PTR = intptr_t;
using LONG_PTR = intptr_t;
using DWORD_PTR = uintptr_t;
using BOOL = int32_t;
using DWORD = uint32_t;
using UINT = uint32_t;

struct SMALL_RECT {
    int16_t Left, Top, Right, Bottom;
};
struct COORD {
    int16_t X, Y;
};
struct RECT {
    int32_t left, top, right, bottom;
};
struct FILETIME {
    uint32_t dwLowDateTime, dwHighDateTime;
};
struct GUID {
    uint32_t Data1;
    uint16_t Data2, Data3;
    uint8_t Data4[8];
};

static_assert(sizeof(SMALL_RECT) == 8);
static_assert(sizeof(COORD) == 4);
static_assert(sizeof(RECT) == 16);
static_assert(sizeof(FILETIME) == 8 && alignof(FILETIME) == 4);
static_assert(sizeof(GUID) == 16);
static_assert(sizeof(void*) == 8, "64-bit targets only");

}  // namespace far
