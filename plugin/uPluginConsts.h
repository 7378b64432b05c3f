// The plugin's identifiers and its command-line prefix.
#pragma once

#include "core/Guid.h"

namespace wm {

// {3F0B7E4C-9A51-4C8E-B6D2-5E1A7C90D413}
constexpr Guid PluginId{
    0x3F0B7E4C, 0x9A51, 0x4C8E, {0xB6, 0xD2, 0x5E, 0x1A, 0x7C, 0x90, 0xD4, 0x13}};
// {A4D27C61-0F3B-4E59-8C7A-21B6E5F04C98}
constexpr Guid PluginMenuId{
    0xA4D27C61, 0x0F3B, 0x4E59, {0x8C, 0x7A, 0x21, 0xB6, 0xE5, 0xF0, 0x4C, 0x98}};
// {5C81E3A9-7D24-4B06-9F3E-C40A6B17D25E}
constexpr Guid ConfigMenuId{
    0x5C81E3A9, 0x7D24, 0x4B06, {0x9F, 0x3E, 0xC4, 0x0A, 0x6B, 0x17, 0xD2, 0x5E}};

constexpr const char16_t* PluginTitle = u"Waymarks";
constexpr const char16_t* PluginAuthor = u"The Waymarks developers";
constexpr const char16_t* CommandPrefix = u"cd";

}  // namespace wm
