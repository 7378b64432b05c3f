#include "farhost/engine/HostRules.h"

#include <algorithm>

#include "farhost/engine/HostText.h"

namespace farhost::rules {
namespace {

// The column types of a mode ("NO,Z,C0"), each with its modifiers.
std::vector<wm::String> ColumnTypes(const wm::String& text) {
    std::vector<wm::String> types;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(u',', start), text.size());
        types.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return types;
}

}  // namespace

PanelInfo PanelInfoOf(const far::OpenPluginInfo& info) {
    PanelInfo panel;
    panel.title = FromHostText(info.PanelTitle);
    panel.curDir = FromHostText(info.CurDir);
    panel.flags = info.Flags;
    if (info.KeyBar) {
        for (size_t i = 0; i < panel.keyBar.size(); ++i) {
            if (info.KeyBar->Titles[i]) panel.keyBar[i] = FromHostText(info.KeyBar->Titles[i]);
        }
    }
    const int mode = info.StartPanelMode - u'0';
    const far::PanelMode* own = info.PanelModesArray && mode >= 0 && mode < info.PanelModesNumber
                                    ? &info.PanelModesArray[mode]
                                    : nullptr;
    if (!own || !own->ColumnTypes || !own->ColumnWidths) {
        panel.namesOnly = (info.Flags & far::OPIF_SHOWNAMESONLY) != 0;
        if (mode == kDescriptionsMode) panel.descriptionTitle = u"Description";
        return panel;
    }
    const auto types = ColumnTypes(FromHostText(own->ColumnTypes));
    for (size_t i = 0; i < types.size(); ++i) {
        const wm::String& type = types[i];
        const far::HostText title = own->ColumnTitles ? own->ColumnTitles[i] : nullptr;
        if (!type.empty() && type[0] == u'N') {
            panel.namesOnly = type.find(u'O') != wm::String::npos;
            if (title) panel.nameTitle = FromHostText(title);
        } else if (type == u"Z") {
            panel.descriptionTitle = title ? FromHostText(title) : wm::String(u"Description");
        }
    }
    return panel;
}

}  // namespace farhost::rules
