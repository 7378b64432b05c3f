// Texts across the bridge: the plugin's UTF-16 on one side, far2l's UTF-32 on the other. Each
// store owns what it converted, at a fixed address, until it is cleared or destroyed, so that a
// converted text lives exactly as long as the host or the plugin may read it.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/String.h"
#include "host/Far2lPluginW.h"

namespace wm::bridge {

using far2l::HostText32;

String FromHost32(HostText32 text);
std::u32string ToHost32(far::HostText text);

// Texts handed to far2l.
class TTexts32 {
public:
    // A null text stays null.
    HostText32 Add(far::HostText text);
    HostText32 Add(StringView text);
    // An array of `count` texts; a null array stays null.
    HostText32 const* AddArray(far::HostText const* texts, int count);
    void Clear();

private:
    std::deque<std::u32string> texts_;
    std::deque<std::vector<HostText32>> arrays_;
};

// Texts handed to the plugin.
class TTexts16 {
public:
    // A null text stays null.
    far::HostText Add(HostText32 text);
    void Clear();

private:
    std::deque<String> texts_;
};

}  // namespace wm::bridge
