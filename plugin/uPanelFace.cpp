#include "plugin/uPanelFace.h"

#include "framework/FarModule.h"
#include "plugin/uFunctions.h"
#include "plugin/uMessages.h"

namespace wm {
namespace {

constexpr char16_t kColumnTypes[] = u"NO,Z";
constexpr char16_t kColumnWidths[] = u"30%,0";
constexpr char16_t kStatusColumnTypes[] = u"NO,Z";
constexpr char16_t kStatusColumnWidths[] = u"0,0";

far::HostText HostText(const char16_t* text) {
    return reinterpret_cast<far::HostText>(text);
}

}  // namespace

TWaymarksPanelFace::TWaymarksPanelFace()
    : ColumnTitleTexts{MessageText(MColumnName), MessageText(MColumnDirectory)},
      KeyTexts{MessageText(MKeyEdit),     MessageText(MKeyExport), MessageText(MKeyExportMove),
               MessageText(MKeyNewGroup), MessageText(MKeyDelete), MessageText(MKeyAdd)} {
    for (size_t i = 0; i < ColumnTitles.size(); ++i)
        ColumnTitles[i] = TFarModule::ToHostString(ColumnTitleTexts[i]);
    far::PanelMode& mode = Modes[ModeNumber];
    mode.ColumnTypes = HostText(kColumnTypes);
    mode.ColumnWidths = HostText(kColumnWidths);
    mode.ColumnTitles = ColumnTitles.data();
    mode.StatusColumnTypes = HostText(kStatusColumnTypes);
    mode.StatusColumnWidths = HostText(kStatusColumnWidths);
    // F4 to F8, then Shift+F4.
    for (size_t i = 0; i < 5; ++i) KeyBar.Titles[3 + i] = TFarModule::ToHostString(KeyTexts[i]);
    KeyBar.ShiftTitles[3] = TFarModule::ToHostString(KeyTexts[5]);
}

void TWaymarksPanelFace::Fill(far::OpenPluginInfo& info) const {
    info.PanelModesArray = Modes.data();
    info.PanelModesNumber = static_cast<int32_t>(Modes.size());
    info.StartPanelMode = u'0' + ModeNumber;
    info.KeyBar = &KeyBar;
}

}  // namespace wm
