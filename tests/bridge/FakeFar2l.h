// A far2l for the bridge's tests: its startup records and standard functions, whose functions
// work in UTF-32 and record what they were given, and a small dialog engine. One at a time.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/Far2lPluginW.h"

namespace wm::test {

class FakeFar2l {
public:
    FakeFar2l();
    ~FakeFar2l();
    FakeFar2l(const FakeFar2l&) = delete;
    FakeFar2l& operator=(const FakeFar2l&) = delete;

    // Startup records pointing at this host's functions; the FSF table lives in this object.
    far2l::PluginStartupInfo<260> Startup260();
    far2l::PluginStartupInfo<276> Startup276();

    // What ACTL_GETFARVERSION answers.
    uint32_t version = far2l::MakeVersion(2, 6);
    int versionQueries = 0;
    std::vector<int32_t> advCommands;  // other AdvControl commands

    std::map<int32_t, std::u32string> messages;  // GetMsg; a missing id answers null
    int getMsgCalls = 0;

    struct TextCall {
        far::DWORD flags = 0;
        bool helpIsNull = false;
        std::u32string help;
        std::u32string title;  // Menu
        std::vector<std::u32string> texts;
        std::vector<far2l::FarMenuItem> menuItems;  // as given, texts not kept
        int32_t count = 0;
    };
    std::vector<TextCall> messageCalls, menuCalls;
    int32_t answer = 0;  // what Menu and Message return

    // Panels
    std::u32string panelDir;
    far2l::PanelInfo panelInfo{};
    far2l::PluginPanelItem panelItem{};  // its texts below
    std::u32string itemName, itemDescription, itemOwner;
    struct ControlCall {
        int32_t command;
        int32_t param1;
        far::LONG_PTR param2;
        std::u32string text;  // FCTL_SETPANELDIR and FCTL_CLOSEPLUGIN
    };
    std::vector<ControlCall> controlCalls;

    // TruncPathStr: what it does to the text; the calls' cell counts.
    std::function<void(char32_t*, int32_t)> truncate;
    std::vector<int32_t> truncateCells;

    // The dialog engine: each dialog keeps the items and Param DialogInit was given.
    struct Dialog {
        std::vector<far2l::FarDialogItem> items;
        std::vector<std::u32string> ownTexts;  // texts DM_SETTEXT and DM_SETDLGITEM copied
        far2l::HostText32 help = nullptr;
        far::FARWINDOWPROC proc = nullptr;
        far::LONG_PTR param = 0;
        bool freed = false;
        std::vector<std::u32string> textsAtFree;  // help, then each PtrData and History
    };
    std::vector<std::unique_ptr<Dialog>> dialogs;
    int32_t runAnswer = 0;
    std::vector<far::LONG_PTR> initAnswers;  // the procedure's answers to DN_INITDIALOG
    struct DefCall {
        int32_t msg;
        int32_t param1;
        far::LONG_PTR param2;
    };
    std::vector<DefCall> defCalls;
    static constexpr far::LONG_PTR kDefAnswer = 0x5EED;

    static Dialog& DialogOf(far::HANDLE dialog) { return *static_cast<Dialog*>(dialog); }
    // far2l notifying the dialog's procedure.
    far::LONG_PTR Notify(far::HANDLE dialog, int32_t msg, int32_t param1, far::LONG_PTR param2);
    // Every text a dialog's items point to, read now: help, then each PtrData and History.
    static std::vector<std::u32string> TextsOf(const Dialog& dialog);

private:
    far2l::FarStandardFunctions<532> fsf532_{};
    far2l::FarStandardFunctions<628> fsf628_{};
};

// The host's text as a UTF-32 string; null is the empty text.
inline std::u32string T32(far2l::HostText32 text) {
    return text ? std::u32string(text) : std::u32string();
}

}  // namespace wm::test
