// Key codes and control-state flags the host passes to ProcessKeyW.
#pragma once

#include <cstdint>

namespace far {

constexpr uint32_t PKF_CONTROL = 1;
constexpr uint32_t PKF_ALT = 2;
constexpr uint32_t PKF_SHIFT = 4;

// Added to the key code when the host first offers a key for preprocessing.
constexpr int32_t PKF_PREPROCESS = 0x80000;

constexpr int32_t VK_TAB = 0x09;
constexpr int32_t VK_RETURN = 0x0D;
constexpr int32_t VK_PRIOR = 0x21;
constexpr int32_t VK_F3 = 0x72;
constexpr int32_t VK_F4 = 0x73;
constexpr int32_t VK_F5 = 0x74;
constexpr int32_t VK_F6 = 0x75;
constexpr int32_t VK_F7 = 0x76;
constexpr int32_t VK_F8 = 0x77;

}  // namespace far
