// far2l's Unicode plugin interface on x86_64 Linux, where it differs from FAR 2's: records packed
// to 2 bytes, UTF-32 texts, its own key numbering. Records that changed between far2l versions are
// templates on their size, which the host puts in StructSize. Every size and offset is checked at
// compile time.
//
// Every constant not declared here has FAR 2's value: OpenFrom, FCTL_, ACTL_REDRAWALL,
// ACTL_GETFARRECT, DI_, DIF_, DM_, DN_, BSTATE_, FDLG_, FMSG_, FMENU_, PPIF_, FILE_ATTRIBUTE_,
// OPIF_, OPM_, FE_, PKF_, VK_ and the panel handles: use far::'s. PanelRedrawInfo is FAR 2's too.
#pragma once

#if defined(__x86_64__) && !defined(_WIN32)

#include <cstddef>
#include <cstdint>
#include <optional>

#include "host/FarKeysW.h"
#include "host/PluginW.h"
#include "host/Types.h"

namespace far2l {

using HostChar32 = char32_t;
using HostText32 = const HostChar32*;
static_assert(sizeof(HostChar32) == sizeof(wchar_t), "far2l's texts are the platform's wchar_t");

using far::DWORD;
using far::DWORD_PTR;
using far::FILETIME;
using far::HANDLE;
using far::INT_PTR;
using far::LONG_PTR;
using far::RECT;

// ---- Constants -------------------------------------------------------------------------

// The version word of ACTL_GETFARVERSION: far2l's release, where FAR 2 packs a build number.
constexpr uint32_t MakeVersion(uint32_t major, uint32_t minor) {
    return major << 16 | minor;
}
constexpr int32_t ACTL_GETFARVERSION = 0;

// Dialog key codes (DN_KEY) from far2l 2.6 on; earlier hosts send FAR 2's codes (far::keys).
// A character is its full code point; extended keys and two internal ranges take RangeSize
// codes each, at FAR 2's offsets.
constexpr uint32_t OwnKeyNumberingSince = MakeVersion(2, 6);
namespace keys {
constexpr uint32_t Extended = 0x00200000;
constexpr uint32_t RangeSize = 0x00080000;
constexpr uint32_t Ctrl = 0x04000000;
constexpr uint32_t Alt = 0x08000000;
constexpr uint32_t Shift = 0x10000000;
constexpr uint32_t RCtrl = 0x20000000;
constexpr uint32_t RAlt = 0x40000000;
constexpr uint32_t ModifierMask = 0xFFC00000;

// BS, Tab, Enter, Esc and Space are characters, the same codes as FAR 2's.
constexpr uint32_t PgUp = Extended + 0x21;
constexpr uint32_t PgDn = Extended + 0x22;
constexpr uint32_t End = Extended + 0x23;
constexpr uint32_t Home = Extended + 0x24;
constexpr uint32_t Left = Extended + 0x25;
constexpr uint32_t Up = Extended + 0x26;
constexpr uint32_t Right = Extended + 0x27;
constexpr uint32_t Down = Extended + 0x28;
constexpr uint32_t Ins = Extended + 0x2D;
constexpr uint32_t Del = Extended + 0x2E;
constexpr uint32_t F1 = Extended + 0x70;  // F2 to F24 follow
}  // namespace keys

// A far2l dialog key code in FAR 2's numbering; nothing where FAR 2 has no such key: a character
// beyond 16 bits, a code past FAR 2's ranges, or a modifier bit of far2l's own (Alt+digits,
// right Shift, internal marks).
constexpr std::optional<uint32_t> ToFar2Key(uint32_t key) {
    uint32_t modifiers = key & keys::ModifierMask;
    uint32_t result = 0;
    const auto move = [&](uint32_t own, uint32_t far2) {
        if ((modifiers & own) == 0) return;
        modifiers &= ~own;
        result |= far2;
    };
    move(keys::Ctrl, far::keys::Ctrl);
    move(keys::Alt, far::keys::Alt);
    move(keys::Shift, far::keys::Shift);
    move(keys::RCtrl, far::keys::RCtrl);
    move(keys::RAlt, far::keys::RAlt);
    if (modifiers != 0) return std::nullopt;

    const uint32_t code = key & ~keys::ModifierMask;
    if (code < far::keys::Extended) return result | code;
    if (code < keys::Extended) return std::nullopt;
    const uint32_t range = (code - keys::Extended) / keys::RangeSize;
    const uint32_t offset = (code - keys::Extended) % keys::RangeSize;
    if (range >= far::keys::RangeCount || offset >= far::keys::RangeSize) return std::nullopt;
    return result | (far::keys::Extended + range * far::keys::RangeSize + offset);
}

// ---- Records ---------------------------------------------------------------------------

#pragma pack(push, 2)

struct FarMenuItem {
    HostText32 Text;
    int32_t Selected;
    int32_t Checked;
    int32_t Separator;
};

struct FAR_FIND_DATA {
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    uint64_t nPhysicalSize;
    uint64_t nFileSize;
    DWORD dwFileAttributes;
    DWORD dwUnixMode;
    HostText32 lpwszFileName;
};

struct PluginPanelItem {
    FAR_FIND_DATA FindData;
    DWORD_PTR UserData;
    DWORD Flags;
    DWORD NumberOfLinks;
    HostText32 Description;
    HostText32 Owner;
    HostText32 Group;
    HostText32 const* CustomColumnData;
    int32_t CustomColumnNumber;
    DWORD CRC32;
    DWORD_PTR Reserved[2];
};

struct PanelInfo {
    int32_t PanelType;
    int32_t Plugin;
    RECT PanelRect;
    int32_t ItemsNumber;
    int32_t SelectedItemsNumber;
    int32_t CurrentItem;
    int32_t TopPanelItem;
    int32_t Visible;
    int32_t Focus;
    int32_t ViewMode;
    int32_t SortMode;
    DWORD Flags;
    DWORD Reserved;
};

struct InfoPanelLine;
struct PanelMode {
    HostText32 ColumnTypes;
    HostText32 ColumnWidths;
    HostText32 const* ColumnTitles;
    int32_t FullScreen;
    int32_t DetailedStatus;
    int32_t AlignExtensions;
    int32_t CaseConversion;
    HostText32 StatusColumnTypes;
    HostText32 StatusColumnWidths;
    DWORD Reserved[2];
};
struct KeyBarTitles {
    HostText32 Titles[12];
    HostText32 CtrlTitles[12];
    HostText32 AltTitles[12];
    HostText32 ShiftTitles[12];
    HostText32 CtrlShiftTitles[12];
    HostText32 AltShiftTitles[12];
    HostText32 CtrlAltTitles[12];
};

// The host sets StructSize before it asks; the plugin fills that layout and writes no further.
template <size_t Size>
struct OpenPluginInfo;

// Up to far2l 2.7.0.
template <>
struct OpenPluginInfo<112> {
    int32_t StructSize;
    DWORD Flags;
    HostText32 HostFile;
    HostText32 CurDir;
    HostText32 Format;
    HostText32 PanelTitle;
    const InfoPanelLine* InfoLines;
    int32_t InfoLinesNumber;
    HostText32 const* DescrFiles;
    int32_t DescrFilesNumber;
    const PanelMode* PanelModesArray;
    int32_t PanelModesNumber;
    int32_t StartPanelMode;
    int32_t StartSortMode;
    int32_t StartSortOrder;
    const KeyBarTitles* KeyBar;
    HostText32 ShortcutData;
    int64_t Reserved;
};

// far2l 2.8.0: CurURL.
template <>
struct OpenPluginInfo<120> {
    int32_t StructSize;
    DWORD Flags;
    HostText32 HostFile;
    HostText32 CurDir;
    HostText32 Format;
    HostText32 PanelTitle;
    const InfoPanelLine* InfoLines;
    int32_t InfoLinesNumber;
    HostText32 const* DescrFiles;
    int32_t DescrFilesNumber;
    const PanelMode* PanelModesArray;
    int32_t PanelModesNumber;
    int32_t StartPanelMode;
    int32_t StartSortMode;
    int32_t StartSortOrder;
    const KeyBarTitles* KeyBar;
    HostText32 ShortcutData;
    HostText32 CurURL;
    int64_t Reserved;
};

// After far2l 2.8.0: CurURL and CurPath.
template <>
struct OpenPluginInfo<128> {
    int32_t StructSize;
    DWORD Flags;
    HostText32 HostFile;
    HostText32 CurDir;
    HostText32 Format;
    HostText32 PanelTitle;
    const InfoPanelLine* InfoLines;
    int32_t InfoLinesNumber;
    HostText32 const* DescrFiles;
    int32_t DescrFilesNumber;
    const PanelMode* PanelModesArray;
    int32_t PanelModesNumber;
    int32_t StartPanelMode;
    int32_t StartSortMode;
    int32_t StartSortOrder;
    const KeyBarTitles* KeyBar;
    HostText32 ShortcutData;
    HostText32 CurURL;
    HostText32 CurPath;
    int64_t Reserved;
};

struct FarList;

struct FarDialogItem {
    int32_t Type;
    int32_t X1, Y1, X2, Y2;
    int32_t Focus;
    union {
        DWORD_PTR Reserved;
        int32_t Selected;
        HostText32 History;
        HostText32 Mask;
        FarList* ListItems;
        int32_t ListPos;
        void* VBuf;
    } Param;
    DWORD Flags;
    int32_t DefaultButton;
    HostText32 PtrData;
    size_t MaxLen;
};

struct FarDialogItemData {
    size_t PtrLength;
    HostChar32* PtrData;
};

struct PluginInfo {
    int32_t StructSize;
    DWORD Flags;
    HostText32 const* DiskMenuStrings;
    int32_t* Reserved0;
    int32_t DiskMenuStringsNumber;
    HostText32 const* PluginMenuStrings;
    int32_t PluginMenuStringsNumber;
    HostText32 const* PluginConfigStrings;
    int32_t PluginConfigStringsNumber;
    HostText32 CommandPrefix;
    DWORD SysID;
};

// ---- Function types --------------------------------------------------------------------

// Types without text are FAR 2's.
using far::FARAPICONTROL;
using far::FARAPIDEFDLGPROC;
using far::FARAPIDIALOGFREE;
using far::FARAPIDIALOGRUN;
using far::FARAPIRESTORESCREEN;
using far::FARAPISAVESCREEN;
using far::FARAPISENDDLGMESSAGE;
using far::FARAPIUNUSED;
using far::FARWINDOWPROC;

using FARAPIMENU = int32_t (*)(INT_PTR PluginNumber, int32_t X, int32_t Y, int32_t MaxHeight,
                               DWORD Flags, HostText32 Title, HostText32 Bottom,
                               HostText32 HelpTopic, const int32_t* BreakKeys, int32_t* BreakCode,
                               const FarMenuItem* Item, int32_t ItemsNumber);
// 2.7 widened the result to intptr_t; its low 32 bits are the same answer, and all an older host
// sets.
using FARAPIMESSAGE = int32_t (*)(INT_PTR PluginNumber, DWORD Flags, HostText32 HelpTopic,
                                  HostText32 const* Items, int32_t ItemsNumber,
                                  int32_t ButtonsNumber);
using FARAPIGETMSG = HostText32 (*)(INT_PTR PluginNumber, int32_t MsgId);
// Hosts before 2.6.2 take no Param2; an extra argument is harmless on this target.
using FARAPIADVCONTROL = INT_PTR (*)(INT_PTR ModuleNumber, int32_t Command, void* Param1,
                                     void* Param2);
using FARAPIDIALOGINIT = HANDLE (*)(INT_PTR PluginNumber, int32_t X1, int32_t Y1, int32_t X2,
                                    int32_t Y2, HostText32 HelpTopic, FarDialogItem* Item,
                                    uint32_t ItemsNumber, DWORD Reserved, DWORD Flags,
                                    FARWINDOWPROC DlgProc, LONG_PTR Param);
// MaxCells counts console cells, not characters.
using FARSTDTRUNCPATHSTR = HostChar32* (*)(HostChar32* Str, int32_t MaxCells);

// The standard functions: 532 bytes in 2.6.4 and 2.6.5 (500 or 516 in earlier releases), 628 from
// 2.7. Only TruncPathStr is named, at the same offset in all; read no further than StructSize.
template <size_t Size>
struct FarStandardFunctions {
    static_assert(Size > 284);
    int32_t StructSize;
    uint8_t Unused1[272];  // atoi to TruncStr
    FARSTDTRUNCPATHSTR TruncPathStr;
    uint8_t Unused2[Size - 284];  // QuoteSpaceOnly onwards
};

template <size_t Size>
struct PluginStartupInfo;

// Up to far2l 2.6.
template <>
struct PluginStartupInfo<260> {
    int32_t StructSize;
    HostText32 ModuleName;
    INT_PTR ModuleNumber;
    HostText32 RootKey;
    FARAPIMENU Menu;
    FARAPIMESSAGE Message;
    FARAPIGETMSG GetMsg;
    FARAPICONTROL Control;
    FARAPISAVESCREEN SaveScreen;
    FARAPIRESTORESCREEN RestoreScreen;
    FARAPIUNUSED GetDirList, GetPluginDirList, FreeDirList, FreePluginDirList, Viewer, Editor,
        CmpName, Text, EditorControl;
    FarStandardFunctions<532>* FSF;
    FARAPIUNUSED ShowHelp;
    FARAPIADVCONTROL AdvControl;
    FARAPIUNUSED InputBox;
    FARAPIDIALOGINIT DialogInit;
    FARAPIDIALOGRUN DialogRun;
    FARAPIDIALOGFREE DialogFree;
    FARAPISENDDLGMESSAGE SendDlgMessage;
    FARAPIDEFDLGPROC DefDlgProc;
    DWORD_PTR Reserved;
    FARAPIUNUSED ViewerControl, PluginsControl, FileFilterControl, RegExpControl;
};

// From far2l 2.7: AdvControlAsync after AdvControl, ColorDialog at the end.
template <>
struct PluginStartupInfo<276> {
    int32_t StructSize;
    HostText32 ModuleName;
    INT_PTR ModuleNumber;
    HostText32 RootKey;
    FARAPIMENU Menu;
    FARAPIMESSAGE Message;
    FARAPIGETMSG GetMsg;
    FARAPICONTROL Control;
    FARAPISAVESCREEN SaveScreen;
    FARAPIRESTORESCREEN RestoreScreen;
    FARAPIUNUSED GetDirList, GetPluginDirList, FreeDirList, FreePluginDirList, Viewer, Editor,
        CmpName, Text, EditorControl;
    FarStandardFunctions<628>* FSF;
    FARAPIUNUSED ShowHelp;
    FARAPIADVCONTROL AdvControl;
    FARAPIADVCONTROL AdvControlAsync;
    FARAPIUNUSED InputBox;
    FARAPIDIALOGINIT DialogInit;
    FARAPIDIALOGRUN DialogRun;
    FARAPIDIALOGFREE DialogFree;
    FARAPISENDDLGMESSAGE SendDlgMessage;
    FARAPIDEFDLGPROC DefDlgProc;
    DWORD_PTR Reserved;
    FARAPIUNUSED ViewerControl, PluginsControl, FileFilterControl, RegExpControl, ColorDialog;
};

#pragma pack(pop)

// ---- Layout contract -------------------------------------------------------------------

#define FAR2L_LAYOUT(type, size) static_assert(sizeof(type) == (size), #type " size")
#define FAR2L_OFFSET(type, field, offset) \
    static_assert(offsetof(type, field) == (offset), #type "." #field " offset")

FAR2L_LAYOUT(PluginStartupInfo<260>, 260);
FAR2L_OFFSET(PluginStartupInfo<260>, StructSize, 0);
FAR2L_OFFSET(PluginStartupInfo<260>, ModuleName, 4);
FAR2L_OFFSET(PluginStartupInfo<260>, ModuleNumber, 12);
FAR2L_OFFSET(PluginStartupInfo<260>, RootKey, 20);
FAR2L_OFFSET(PluginStartupInfo<260>, Menu, 28);
FAR2L_OFFSET(PluginStartupInfo<260>, Message, 36);
FAR2L_OFFSET(PluginStartupInfo<260>, GetMsg, 44);
FAR2L_OFFSET(PluginStartupInfo<260>, Control, 52);
FAR2L_OFFSET(PluginStartupInfo<260>, SaveScreen, 60);
FAR2L_OFFSET(PluginStartupInfo<260>, RestoreScreen, 68);
FAR2L_OFFSET(PluginStartupInfo<260>, GetDirList, 76);
FAR2L_OFFSET(PluginStartupInfo<260>, GetPluginDirList, 84);
FAR2L_OFFSET(PluginStartupInfo<260>, FreeDirList, 92);
FAR2L_OFFSET(PluginStartupInfo<260>, FreePluginDirList, 100);
FAR2L_OFFSET(PluginStartupInfo<260>, Viewer, 108);
FAR2L_OFFSET(PluginStartupInfo<260>, Editor, 116);
FAR2L_OFFSET(PluginStartupInfo<260>, CmpName, 124);
FAR2L_OFFSET(PluginStartupInfo<260>, Text, 132);
FAR2L_OFFSET(PluginStartupInfo<260>, EditorControl, 140);
FAR2L_OFFSET(PluginStartupInfo<260>, FSF, 148);
FAR2L_OFFSET(PluginStartupInfo<260>, ShowHelp, 156);
FAR2L_OFFSET(PluginStartupInfo<260>, AdvControl, 164);
FAR2L_OFFSET(PluginStartupInfo<260>, InputBox, 172);
FAR2L_OFFSET(PluginStartupInfo<260>, DialogInit, 180);
FAR2L_OFFSET(PluginStartupInfo<260>, DialogRun, 188);
FAR2L_OFFSET(PluginStartupInfo<260>, DialogFree, 196);
FAR2L_OFFSET(PluginStartupInfo<260>, SendDlgMessage, 204);
FAR2L_OFFSET(PluginStartupInfo<260>, DefDlgProc, 212);
FAR2L_OFFSET(PluginStartupInfo<260>, Reserved, 220);
FAR2L_OFFSET(PluginStartupInfo<260>, ViewerControl, 228);
FAR2L_OFFSET(PluginStartupInfo<260>, PluginsControl, 236);
FAR2L_OFFSET(PluginStartupInfo<260>, FileFilterControl, 244);
FAR2L_OFFSET(PluginStartupInfo<260>, RegExpControl, 252);

FAR2L_LAYOUT(PluginStartupInfo<276>, 276);
FAR2L_OFFSET(PluginStartupInfo<276>, StructSize, 0);
FAR2L_OFFSET(PluginStartupInfo<276>, ModuleName, 4);
FAR2L_OFFSET(PluginStartupInfo<276>, ModuleNumber, 12);
FAR2L_OFFSET(PluginStartupInfo<276>, RootKey, 20);
FAR2L_OFFSET(PluginStartupInfo<276>, Menu, 28);
FAR2L_OFFSET(PluginStartupInfo<276>, Message, 36);
FAR2L_OFFSET(PluginStartupInfo<276>, GetMsg, 44);
FAR2L_OFFSET(PluginStartupInfo<276>, Control, 52);
FAR2L_OFFSET(PluginStartupInfo<276>, SaveScreen, 60);
FAR2L_OFFSET(PluginStartupInfo<276>, RestoreScreen, 68);
FAR2L_OFFSET(PluginStartupInfo<276>, GetDirList, 76);
FAR2L_OFFSET(PluginStartupInfo<276>, GetPluginDirList, 84);
FAR2L_OFFSET(PluginStartupInfo<276>, FreeDirList, 92);
FAR2L_OFFSET(PluginStartupInfo<276>, FreePluginDirList, 100);
FAR2L_OFFSET(PluginStartupInfo<276>, Viewer, 108);
FAR2L_OFFSET(PluginStartupInfo<276>, Editor, 116);
FAR2L_OFFSET(PluginStartupInfo<276>, CmpName, 124);
FAR2L_OFFSET(PluginStartupInfo<276>, Text, 132);
FAR2L_OFFSET(PluginStartupInfo<276>, EditorControl, 140);
FAR2L_OFFSET(PluginStartupInfo<276>, FSF, 148);
FAR2L_OFFSET(PluginStartupInfo<276>, ShowHelp, 156);
FAR2L_OFFSET(PluginStartupInfo<276>, AdvControl, 164);
FAR2L_OFFSET(PluginStartupInfo<276>, AdvControlAsync, 172);
FAR2L_OFFSET(PluginStartupInfo<276>, InputBox, 180);
FAR2L_OFFSET(PluginStartupInfo<276>, DialogInit, 188);
FAR2L_OFFSET(PluginStartupInfo<276>, DialogRun, 196);
FAR2L_OFFSET(PluginStartupInfo<276>, DialogFree, 204);
FAR2L_OFFSET(PluginStartupInfo<276>, SendDlgMessage, 212);
FAR2L_OFFSET(PluginStartupInfo<276>, DefDlgProc, 220);
FAR2L_OFFSET(PluginStartupInfo<276>, Reserved, 228);
FAR2L_OFFSET(PluginStartupInfo<276>, ViewerControl, 236);
FAR2L_OFFSET(PluginStartupInfo<276>, PluginsControl, 244);
FAR2L_OFFSET(PluginStartupInfo<276>, FileFilterControl, 252);
FAR2L_OFFSET(PluginStartupInfo<276>, RegExpControl, 260);
FAR2L_OFFSET(PluginStartupInfo<276>, ColorDialog, 268);

FAR2L_LAYOUT(FarStandardFunctions<532>, 532);
FAR2L_OFFSET(FarStandardFunctions<532>, StructSize, 0);
FAR2L_OFFSET(FarStandardFunctions<532>, Unused1, 4);
FAR2L_OFFSET(FarStandardFunctions<532>, TruncPathStr, 276);
FAR2L_OFFSET(FarStandardFunctions<532>, Unused2, 284);
FAR2L_LAYOUT(FarStandardFunctions<628>, 628);
FAR2L_OFFSET(FarStandardFunctions<628>, TruncPathStr, 276);

FAR2L_LAYOUT(PluginInfo, 64);
FAR2L_OFFSET(PluginInfo, StructSize, 0);
FAR2L_OFFSET(PluginInfo, Flags, 4);
FAR2L_OFFSET(PluginInfo, DiskMenuStrings, 8);
FAR2L_OFFSET(PluginInfo, Reserved0, 16);
FAR2L_OFFSET(PluginInfo, DiskMenuStringsNumber, 24);
FAR2L_OFFSET(PluginInfo, PluginMenuStrings, 28);
FAR2L_OFFSET(PluginInfo, PluginMenuStringsNumber, 36);
FAR2L_OFFSET(PluginInfo, PluginConfigStrings, 40);
FAR2L_OFFSET(PluginInfo, PluginConfigStringsNumber, 48);
FAR2L_OFFSET(PluginInfo, CommandPrefix, 52);
FAR2L_OFFSET(PluginInfo, SysID, 60);

FAR2L_LAYOUT(FAR_FIND_DATA, 56);
FAR2L_OFFSET(FAR_FIND_DATA, ftCreationTime, 0);
FAR2L_OFFSET(FAR_FIND_DATA, ftLastAccessTime, 8);
FAR2L_OFFSET(FAR_FIND_DATA, ftLastWriteTime, 16);
FAR2L_OFFSET(FAR_FIND_DATA, nPhysicalSize, 24);
FAR2L_OFFSET(FAR_FIND_DATA, nFileSize, 32);
FAR2L_OFFSET(FAR_FIND_DATA, dwFileAttributes, 40);
FAR2L_OFFSET(FAR_FIND_DATA, dwUnixMode, 44);
FAR2L_OFFSET(FAR_FIND_DATA, lpwszFileName, 48);

FAR2L_LAYOUT(PluginPanelItem, 128);
FAR2L_OFFSET(PluginPanelItem, FindData, 0);
FAR2L_OFFSET(PluginPanelItem, UserData, 56);
FAR2L_OFFSET(PluginPanelItem, Flags, 64);
FAR2L_OFFSET(PluginPanelItem, NumberOfLinks, 68);
FAR2L_OFFSET(PluginPanelItem, Description, 72);
FAR2L_OFFSET(PluginPanelItem, Owner, 80);
FAR2L_OFFSET(PluginPanelItem, Group, 88);
FAR2L_OFFSET(PluginPanelItem, CustomColumnData, 96);
FAR2L_OFFSET(PluginPanelItem, CustomColumnNumber, 104);
FAR2L_OFFSET(PluginPanelItem, CRC32, 108);
FAR2L_OFFSET(PluginPanelItem, Reserved, 112);

FAR2L_LAYOUT(PanelInfo, 64);
FAR2L_OFFSET(PanelInfo, PanelType, 0);
FAR2L_OFFSET(PanelInfo, Plugin, 4);
FAR2L_OFFSET(PanelInfo, PanelRect, 8);
FAR2L_OFFSET(PanelInfo, ItemsNumber, 24);
FAR2L_OFFSET(PanelInfo, SelectedItemsNumber, 28);
FAR2L_OFFSET(PanelInfo, CurrentItem, 32);
FAR2L_OFFSET(PanelInfo, TopPanelItem, 36);
FAR2L_OFFSET(PanelInfo, Visible, 40);
FAR2L_OFFSET(PanelInfo, Focus, 44);
FAR2L_OFFSET(PanelInfo, ViewMode, 48);
FAR2L_OFFSET(PanelInfo, SortMode, 52);
FAR2L_OFFSET(PanelInfo, Flags, 56);
FAR2L_OFFSET(PanelInfo, Reserved, 60);

FAR2L_LAYOUT(PanelMode, 64);
FAR2L_OFFSET(PanelMode, ColumnTypes, 0);
FAR2L_OFFSET(PanelMode, ColumnWidths, 8);
FAR2L_OFFSET(PanelMode, ColumnTitles, 16);
FAR2L_OFFSET(PanelMode, FullScreen, 24);
FAR2L_OFFSET(PanelMode, DetailedStatus, 28);
FAR2L_OFFSET(PanelMode, AlignExtensions, 32);
FAR2L_OFFSET(PanelMode, CaseConversion, 36);
FAR2L_OFFSET(PanelMode, StatusColumnTypes, 40);
FAR2L_OFFSET(PanelMode, StatusColumnWidths, 48);
FAR2L_OFFSET(PanelMode, Reserved, 56);

FAR2L_LAYOUT(KeyBarTitles, 672);
FAR2L_OFFSET(KeyBarTitles, Titles, 0);
FAR2L_OFFSET(KeyBarTitles, CtrlTitles, 96);
FAR2L_OFFSET(KeyBarTitles, AltTitles, 192);
FAR2L_OFFSET(KeyBarTitles, ShiftTitles, 288);
FAR2L_OFFSET(KeyBarTitles, CtrlShiftTitles, 384);
FAR2L_OFFSET(KeyBarTitles, AltShiftTitles, 480);
FAR2L_OFFSET(KeyBarTitles, CtrlAltTitles, 576);

FAR2L_LAYOUT(OpenPluginInfo<112>, 112);
FAR2L_OFFSET(OpenPluginInfo<112>, StructSize, 0);
FAR2L_OFFSET(OpenPluginInfo<112>, Flags, 4);
FAR2L_OFFSET(OpenPluginInfo<112>, HostFile, 8);
FAR2L_OFFSET(OpenPluginInfo<112>, CurDir, 16);
FAR2L_OFFSET(OpenPluginInfo<112>, Format, 24);
FAR2L_OFFSET(OpenPluginInfo<112>, PanelTitle, 32);
FAR2L_OFFSET(OpenPluginInfo<112>, InfoLines, 40);
FAR2L_OFFSET(OpenPluginInfo<112>, InfoLinesNumber, 48);
FAR2L_OFFSET(OpenPluginInfo<112>, DescrFiles, 52);
FAR2L_OFFSET(OpenPluginInfo<112>, DescrFilesNumber, 60);
FAR2L_OFFSET(OpenPluginInfo<112>, PanelModesArray, 64);
FAR2L_OFFSET(OpenPluginInfo<112>, PanelModesNumber, 72);
FAR2L_OFFSET(OpenPluginInfo<112>, StartPanelMode, 76);
FAR2L_OFFSET(OpenPluginInfo<112>, StartSortMode, 80);
FAR2L_OFFSET(OpenPluginInfo<112>, StartSortOrder, 84);
FAR2L_OFFSET(OpenPluginInfo<112>, KeyBar, 88);
FAR2L_OFFSET(OpenPluginInfo<112>, ShortcutData, 96);
FAR2L_OFFSET(OpenPluginInfo<112>, Reserved, 104);

FAR2L_LAYOUT(OpenPluginInfo<120>, 120);
FAR2L_OFFSET(OpenPluginInfo<120>, StructSize, 0);
FAR2L_OFFSET(OpenPluginInfo<120>, Flags, 4);
FAR2L_OFFSET(OpenPluginInfo<120>, HostFile, 8);
FAR2L_OFFSET(OpenPluginInfo<120>, CurDir, 16);
FAR2L_OFFSET(OpenPluginInfo<120>, Format, 24);
FAR2L_OFFSET(OpenPluginInfo<120>, PanelTitle, 32);
FAR2L_OFFSET(OpenPluginInfo<120>, InfoLines, 40);
FAR2L_OFFSET(OpenPluginInfo<120>, InfoLinesNumber, 48);
FAR2L_OFFSET(OpenPluginInfo<120>, DescrFiles, 52);
FAR2L_OFFSET(OpenPluginInfo<120>, DescrFilesNumber, 60);
FAR2L_OFFSET(OpenPluginInfo<120>, PanelModesArray, 64);
FAR2L_OFFSET(OpenPluginInfo<120>, PanelModesNumber, 72);
FAR2L_OFFSET(OpenPluginInfo<120>, StartPanelMode, 76);
FAR2L_OFFSET(OpenPluginInfo<120>, StartSortMode, 80);
FAR2L_OFFSET(OpenPluginInfo<120>, StartSortOrder, 84);
FAR2L_OFFSET(OpenPluginInfo<120>, KeyBar, 88);
FAR2L_OFFSET(OpenPluginInfo<120>, ShortcutData, 96);
FAR2L_OFFSET(OpenPluginInfo<120>, CurURL, 104);
FAR2L_OFFSET(OpenPluginInfo<120>, Reserved, 112);

FAR2L_LAYOUT(OpenPluginInfo<128>, 128);
FAR2L_OFFSET(OpenPluginInfo<128>, StructSize, 0);
FAR2L_OFFSET(OpenPluginInfo<128>, Flags, 4);
FAR2L_OFFSET(OpenPluginInfo<128>, HostFile, 8);
FAR2L_OFFSET(OpenPluginInfo<128>, CurDir, 16);
FAR2L_OFFSET(OpenPluginInfo<128>, Format, 24);
FAR2L_OFFSET(OpenPluginInfo<128>, PanelTitle, 32);
FAR2L_OFFSET(OpenPluginInfo<128>, InfoLines, 40);
FAR2L_OFFSET(OpenPluginInfo<128>, InfoLinesNumber, 48);
FAR2L_OFFSET(OpenPluginInfo<128>, DescrFiles, 52);
FAR2L_OFFSET(OpenPluginInfo<128>, DescrFilesNumber, 60);
FAR2L_OFFSET(OpenPluginInfo<128>, PanelModesArray, 64);
FAR2L_OFFSET(OpenPluginInfo<128>, PanelModesNumber, 72);
FAR2L_OFFSET(OpenPluginInfo<128>, StartPanelMode, 76);
FAR2L_OFFSET(OpenPluginInfo<128>, StartSortMode, 80);
FAR2L_OFFSET(OpenPluginInfo<128>, StartSortOrder, 84);
FAR2L_OFFSET(OpenPluginInfo<128>, KeyBar, 88);
FAR2L_OFFSET(OpenPluginInfo<128>, ShortcutData, 96);
FAR2L_OFFSET(OpenPluginInfo<128>, CurURL, 104);
FAR2L_OFFSET(OpenPluginInfo<128>, CurPath, 112);
FAR2L_OFFSET(OpenPluginInfo<128>, Reserved, 120);

FAR2L_LAYOUT(FarMenuItem, 20);
FAR2L_OFFSET(FarMenuItem, Text, 0);
FAR2L_OFFSET(FarMenuItem, Selected, 8);
FAR2L_OFFSET(FarMenuItem, Checked, 12);
FAR2L_OFFSET(FarMenuItem, Separator, 16);

FAR2L_LAYOUT(FarDialogItem, 56);
FAR2L_OFFSET(FarDialogItem, Type, 0);
FAR2L_OFFSET(FarDialogItem, X1, 4);
FAR2L_OFFSET(FarDialogItem, Y1, 8);
FAR2L_OFFSET(FarDialogItem, X2, 12);
FAR2L_OFFSET(FarDialogItem, Y2, 16);
FAR2L_OFFSET(FarDialogItem, Focus, 20);
FAR2L_OFFSET(FarDialogItem, Param, 24);
FAR2L_OFFSET(FarDialogItem, Flags, 32);
FAR2L_OFFSET(FarDialogItem, DefaultButton, 36);
FAR2L_OFFSET(FarDialogItem, PtrData, 40);
FAR2L_OFFSET(FarDialogItem, MaxLen, 48);

FAR2L_LAYOUT(FarDialogItemData, 16);
FAR2L_OFFSET(FarDialogItemData, PtrLength, 0);
FAR2L_OFFSET(FarDialogItemData, PtrData, 8);

#undef FAR2L_LAYOUT
#undef FAR2L_OFFSET

static_assert(MakeVersion(2, 7) == 0x00020007);

}  // namespace far2l

#endif
