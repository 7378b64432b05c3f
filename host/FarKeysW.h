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

// Dialog key codes (DN_KEY): a character, or Extended plus a VK_ code, with modifier bits above.
// Extended keys and two internal ranges take RangeSize codes each.
namespace keys {
constexpr uint32_t Extended = 0x00010000;
constexpr uint32_t RangeSize = 0x00010000;
constexpr uint32_t RangeCount = 3;
constexpr uint32_t Ctrl = 0x01000000;
constexpr uint32_t Alt = 0x02000000;
constexpr uint32_t Shift = 0x04000000;
constexpr uint32_t RCtrl = 0x10000000;
constexpr uint32_t RAlt = 0x20000000;
constexpr uint32_t ModifierMask = 0xFFF00000;
}  // namespace keys

}  // namespace far
