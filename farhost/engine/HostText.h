// The plugin's texts as the host reads them: null-terminated 16-bit text, a null pointer empty.
#pragma once

#include "core/String.h"
#include "host/PluginW.h"

namespace farhost {

inline wm::String FromHostText(far::HostText text) {
    return text ? wm::String(reinterpret_cast<const char16_t*>(text)) : wm::String();
}

}  // namespace farhost
