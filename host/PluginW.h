// The host's 64-bit Unicode plugin interface: records, function types and constants.
// Every size and offset below is part of the binary contract and checked at compile time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/Types.h"

namespace far {

// ---- Constants -------------------------------------------------------------------------

constexpr uint32_t MakeFarVersion(uint32_t major, uint32_t minor, uint32_t build) {
    return major << 8 | minor | build << 16;
}

enum OpenFrom : int32_t {
    OPEN_DISKMENU = 0,
    OPEN_PLUGINSMENU = 1,
    OPEN_SHORTCUT = 3,
    OPEN_COMMANDLINE = 4,
};

inline HANDLE const PANEL_ACTIVE = reinterpret_cast<HANDLE>(intptr_t{-1});
inline HANDLE const PANEL_PASSIVE = reinterpret_cast<HANDLE>(intptr_t{-2});
inline HANDLE const INVALID_HANDLE_VALUE = PANEL_ACTIVE;

constexpr DWORD FMSG_WARNING = 1;
// Items is one text whose lines are separated by '\n'.
constexpr DWORD FMSG_ALLINONE = 0x20;
constexpr DWORD FMENU_WRAPMODE = 2;
constexpr DWORD FMENU_AUTOHIGHLIGHT = 4;

enum FileControlCommand : int32_t {
    FCTL_CLOSEPLUGIN = 0,
    FCTL_GETPANELINFO = 1,
    FCTL_UPDATEPANEL = 2,
    FCTL_REDRAWPANEL = 3,
    FCTL_SETPANELDIR = 10,
    FCTL_GETPANELITEM = 22,
    FCTL_GETSELECTEDPANELITEM = 23,
    FCTL_GETPANELDIR = 25,
};

enum AdvancedControlCommand : int32_t {
    ACTL_REDRAWALL = 27,
    ACTL_GETFARRECT = 32,
};

enum DialogItemType : int32_t {
    DI_TEXT = 0,
    DI_VTEXT = 1,
    DI_SINGLEBOX = 2,
    DI_DOUBLEBOX = 3,
    DI_EDIT = 4,
    DI_PSWEDIT = 5,
    DI_FIXEDIT = 6,
    DI_BUTTON = 7,
    DI_CHECKBOX = 8,
    DI_RADIOBUTTON = 9,
    DI_COMBOBOX = 10,
    DI_LISTBOX = 11,
};

constexpr DWORD DIF_LEFTTEXT = 0x800;
constexpr DWORD DIF_SHOWAMPERSAND = 0x2000;
constexpr DWORD DIF_CENTERGROUP = 0x4000;
constexpr DWORD DIF_SEPARATOR = 0x10000;
constexpr DWORD DIF_EDITOR = 0x20000;
constexpr DWORD DIF_HISTORY = 0x40000;
constexpr DWORD DIF_BTNNOCLOSE = 0x40000;
constexpr DWORD DIF_CENTERTEXT = 0x40000;
constexpr DWORD DIF_MASKEDIT = 0x400000;
constexpr DWORD DIF_HIDDEN = 0x10000000;
constexpr DWORD DIF_READONLY = 0x20000000;
constexpr DWORD DIF_DISABLE = 0x80000000;

enum DialogMessage : int32_t {
    DM_CLOSE = 1,
    DM_ENABLE = 2,
    DM_ENABLEREDRAW = 3,
    DM_GETDLGDATA = 4,
    DM_GETDLGITEM = 5,
    DM_GETDLGRECT = 6,
    DM_GETTEXT = 7,
    DM_GETTEXTLENGTH = 8,
    DM_KEY = 9,
    DM_MOVEDIALOG = 10,
    DM_SETDLGDATA = 11,
    DM_SETDLGITEM = 12,
    DM_SETFOCUS = 13,
    DM_REDRAW = 14,
    DM_SETTEXT = 15,
    DM_SHOWITEM = 23,
    DM_GETCHECK = 25,
    DM_SETCHECK = 26,
    DM_RESIZEDIALOG = 43,
    DM_SETITEMPOSITION = 44,
    DM_GETITEMPOSITION = 48,
    DM_EDITUNCHANGEDFLAG = 50,

    DN_CLOSE = 1,
    DN_KEY = 9,
    DN_BTNCLICK = 0x1001,
    DN_CTLCOLORDIALOG = 0x1002,
    DN_CTLCOLORDLGITEM = 0x1003,
    DN_DRAWDIALOG = 0x1005,
    DN_DRAWDLGITEM = 0x1006,
    DN_EDITCHANGE = 0x1007,
    DN_ENTERIDLE = 0x1008,
    DN_GOTFOCUS = 0x1009,
    DN_HELP = 0x100A,
    DN_HOTKEY = 0x100B,
    DN_INITDIALOG = 0x100C,
    DN_KILLFOCUS = 0x100D,
    DN_LISTCHANGE = 0x100E,
    DN_DRAGGED = 0x1010,
    DN_RESIZECONSOLE = 0x1011,
    DN_DRAWDIALOGDONE = 0x1013,
    DN_LISTHOTKEY = 0x1014,
};

constexpr int32_t BSTATE_UNCHECKED = 0;
constexpr int32_t BSTATE_CHECKED = 1;
constexpr int32_t BSTATE_3STATE = 2;
constexpr DWORD FDLG_WARNING = 1;

constexpr DWORD PPIF_SELECTED = 0x40000000;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

constexpr DWORD OPIF_RAWSELECTION = 0x10;
constexpr DWORD OPIF_SHOWNAMESONLY = 0x40;
constexpr DWORD OPIF_SHOWRIGHTALIGNNAMES = 0x80;
constexpr DWORD OPIF_SHOWPRESERVECASE = 0x100;

constexpr int32_t OPM_SILENT = 1;
constexpr int32_t OPM_FIND = 2;
constexpr int32_t OPM_VIEW = 4;
constexpr int32_t OPM_EDIT = 8;
constexpr int32_t OPM_TOPLEVEL = 0x10;

enum FarEvent : int32_t {
    FE_CHANGEVIEWMODE = 0,
    FE_REDRAW = 1,
    FE_IDLE = 2,
    FE_CLOSE = 3,
    FE_BREAK = 4,
    FE_COMMAND = 5,
    FE_GOTFOCUS = 6,
    FE_KILLFOCUS = 7,
};

// ---- Records ---------------------------------------------------------------------------

struct FarMenuItem {
    HostText Text;
    int32_t Selected;
    int32_t Checked;
    int32_t Separator;
};

struct FAR_FIND_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    uint64_t nFileSize;
    uint64_t nPackSize;
    HostText lpwszFileName;
    HostText lpwszAlternateFileName;
};

struct PluginPanelItem {
    FAR_FIND_DATA FindData;
    DWORD Flags;
    DWORD NumberOfLinks;
    HostText Description;
    HostText Owner;
    HostText const* CustomColumnData;
    int32_t CustomColumnNumber;
    DWORD_PTR UserData;
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
    int32_t ShortNames;
    int32_t SortMode;
    DWORD Flags;
    DWORD Reserved;
};

struct PanelRedrawInfo {
    int32_t CurrentItem;
    int32_t TopPanelItem;
};

struct InfoPanelLine;
// One of a plugin panel's view modes (index = the host's mode number): its columns as the host's
// column-type and width texts, with optional titles. A null ColumnTypes keeps the host's mode.
struct PanelMode {
    HostText ColumnTypes;
    HostText ColumnWidths;
    HostText const* ColumnTitles;
    int32_t FullScreen;
    int32_t DetailedStatus;
    int32_t AlignExtensions;
    int32_t CaseConversion;
    HostText StatusColumnTypes;
    HostText StatusColumnWidths;
    DWORD Reserved[2];
};
// The labels a plugin panel puts in the key bar for F1 to F12, plain and with modifiers; a
// null title keeps the host's own label.
struct KeyBarTitles {
    HostText Titles[12];
    HostText CtrlTitles[12];
    HostText AltTitles[12];
    HostText ShiftTitles[12];
    HostText CtrlShiftTitles[12];
    HostText AltShiftTitles[12];
    HostText CtrlAltTitles[12];
};

struct OpenPluginInfo {
    int32_t StructSize;
    DWORD Flags;
    HostText HostFile;
    HostText CurDir;
    HostText Format;
    HostText PanelTitle;
    const InfoPanelLine* InfoLines;
    int32_t InfoLinesNumber;
    HostText const* DescrFiles;
    int32_t DescrFilesNumber;
    const PanelMode* PanelModesArray;
    int32_t PanelModesNumber;
    int32_t StartPanelMode;
    int32_t StartSortMode;
    int32_t StartSortOrder;
    const KeyBarTitles* KeyBar;
    HostText ShortcutData;
    int32_t Reserved;
};

struct FarListItem;
struct FarList;

struct FarDialogItem {
    int32_t Type;
    int32_t X1, Y1, X2, Y2;
    int32_t Focus;
    union {
        DWORD_PTR Reserved;
        int32_t Selected;
        HostText History;
        HostText Mask;
        FarList* ListItems;
        int32_t ListPos;
        void* VBuf;
    } Param;
    DWORD Flags;
    int32_t DefaultButton;
    HostText PtrData;
    size_t MaxLen;
};

struct FarDialogItemData {
    size_t PtrLength;
    HostChar* PtrData;
};

struct PluginInfo {
    int32_t StructSize;
    DWORD Flags;
    HostText const* DiskMenuStrings;
    int32_t* Reserved0;
    int32_t DiskMenuStringsNumber;
    HostText const* PluginMenuStrings;
    int32_t PluginMenuStringsNumber;
    HostText const* PluginConfigStrings;
    int32_t PluginConfigStringsNumber;
    HostText CommandPrefix;
    DWORD Reserved;
};

// ---- Function types --------------------------------------------------------------------

// Slots the plugin never calls: declared with one neutral type so the tables keep their layout.
using FARAPIUNUSED = void (*)();

using FARWINDOWPROC = LONG_PTR (*)(HANDLE hDlg, int32_t Msg, int32_t Param1, LONG_PTR Param2);

using FARAPIMENU = int32_t (*)(INT_PTR PluginNumber, int32_t X, int32_t Y, int32_t MaxHeight,
                               DWORD Flags, HostText Title, HostText Bottom, HostText HelpTopic,
                               const int32_t* BreakKeys, int32_t* BreakCode,
                               const FarMenuItem* Item, int32_t ItemsNumber);
using FARAPIMESSAGE = int32_t (*)(INT_PTR PluginNumber, DWORD Flags, HostText HelpTopic,
                                  HostText const* Items, int32_t ItemsNumber,
                                  int32_t ButtonsNumber);
using FARAPIGETMSG = HostText (*)(INT_PTR PluginNumber, int32_t MsgId);
using FARAPICONTROL = int32_t (*)(HANDLE hPlugin, int32_t Command, int32_t Param1, LONG_PTR Param2);
using FARAPISAVESCREEN = HANDLE (*)(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
using FARAPIRESTORESCREEN = void (*)(HANDLE hScreen);
using FARAPIADVCONTROL = INT_PTR (*)(INT_PTR ModuleNumber, int32_t Command, void* Param);
using FARAPIDIALOGINIT = HANDLE (*)(INT_PTR PluginNumber, int32_t X1, int32_t Y1, int32_t X2,
                                    int32_t Y2, HostText HelpTopic, FarDialogItem* Item,
                                    uint32_t ItemsNumber, DWORD Reserved, DWORD Flags,
                                    FARWINDOWPROC DlgProc, LONG_PTR Param);
using FARAPIDIALOGRUN = int32_t (*)(HANDLE hDlg);
using FARAPIDIALOGFREE = void (*)(HANDLE hDlg);
using FARAPISENDDLGMESSAGE = FARWINDOWPROC;
using FARAPIDEFDLGPROC = FARWINDOWPROC;
using FARSTDTRUNCPATHSTR = HostChar* (*)(HostChar* Str, int32_t MaxLength);

struct FarStandardFunctions {
    int32_t StructSize;
    FARAPIUNUSED atoi, atoi64, itoa, itoa64, sprintf, sscanf, qsort, bsearch, qsortex, snprintf;
    DWORD_PTR Reserved[8];
    FARAPIUNUSED LIsLower, LIsUpper, LIsAlpha, LIsAlphanum, LUpper, LLower, LUpperBuf, LLowerBuf,
        LStrupr, LStrlwr, LStricmp, LStrnicmp;
    FARAPIUNUSED Unquote, LTrim, RTrim, Trim, TruncStr;
    FARSTDTRUNCPATHSTR TruncPathStr;
    FARAPIUNUSED QuoteSpaceOnly, PointToName, GetPathRoot, AddEndSlash, CopyToClipboard,
        PasteFromClipboard, FarKeyToName, FarNameToKey, FarInputRecordToKey, XLat, GetFileOwner,
        GetNumberOfLinks, FarRecursiveSearch, MkTemp, DeleteBuffer, ProcessName, MkLink,
        ConvertPath, GetReparsePointInfo, GetCurrentDirectory;
};

struct PluginStartupInfo {
    int32_t StructSize;
    HostText ModuleName;
    INT_PTR ModuleNumber;
    HostText RootKey;
    FARAPIMENU Menu;
    FARAPIMESSAGE Message;
    FARAPIGETMSG GetMsg;
    FARAPICONTROL Control;
    FARAPISAVESCREEN SaveScreen;
    FARAPIRESTORESCREEN RestoreScreen;
    FARAPIUNUSED GetDirList, GetPluginDirList, FreeDirList, FreePluginDirList, Viewer, Editor,
        CmpName, Text, EditorControl;
    FarStandardFunctions* FSF;
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

// ---- Exported functions (plugin side) --------------------------------------------------

using ExportSetStartupInfoW = void (*)(const PluginStartupInfo* Info);
using ExportGetPluginInfoW = void (*)(PluginInfo* Info);
using ExportOpenPluginW = HANDLE (*)(int32_t OpenFrom, INT_PTR Item);
using ExportConfigureW = int32_t (*)(int32_t ItemNumber);
using ExportExitFARW = void (*)();
using ExportClosePluginW = void (*)(HANDLE hPlugin);
using ExportGetFindDataW = int32_t (*)(HANDLE hPlugin, PluginPanelItem** pPanelItem,
                                       int32_t* pItemsNumber, int32_t OpMode);
using ExportFreeFindDataW = void (*)(HANDLE hPlugin, PluginPanelItem* PanelItem,
                                     int32_t ItemsNumber);
using ExportSetDirectoryW = int32_t (*)(HANDLE hPlugin, HostText Dir, int32_t OpMode);
using ExportMakeDirectoryW = int32_t (*)(HANDLE hPlugin, HostText const* Name, int32_t OpMode);
using ExportDeleteFilesW = int32_t (*)(HANDLE hPlugin, PluginPanelItem* PanelItem,
                                       int32_t ItemsNumber, int32_t OpMode);
using ExportGetFilesW = int32_t (*)(HANDLE hPlugin, PluginPanelItem* PanelItem, int32_t ItemsNumber,
                                    int32_t Move, HostText const* DestPath, int32_t OpMode);
using ExportPutFilesW = int32_t (*)(HANDLE hPlugin, PluginPanelItem* PanelItem, int32_t ItemsNumber,
                                    int32_t Move, HostText SrcPath, int32_t OpMode);
using ExportProcessKeyW = int32_t (*)(HANDLE hPlugin, int32_t Key, uint32_t ControlState);
using ExportProcessEventW = int32_t (*)(HANDLE hPlugin, int32_t Event, void* Param);
// Not exported by the plugin; a host asks for it when a module has it.
using ExportGetOpenPluginInfoW = void (*)(HANDLE hPlugin, OpenPluginInfo* Info);

// ---- Layout contract -------------------------------------------------------------------

#define FAR_LAYOUT(type, size) static_assert(sizeof(type) == (size), #type " size")
#define FAR_OFFSET(type, field, offset) \
    static_assert(offsetof(type, field) == (offset), #type "." #field " offset")

FAR_LAYOUT(PluginStartupInfo, 264);
FAR_OFFSET(PluginStartupInfo, StructSize, 0);
FAR_OFFSET(PluginStartupInfo, ModuleName, 8);
FAR_OFFSET(PluginStartupInfo, ModuleNumber, 16);
FAR_OFFSET(PluginStartupInfo, RootKey, 24);
FAR_OFFSET(PluginStartupInfo, Menu, 32);
FAR_OFFSET(PluginStartupInfo, Message, 40);
FAR_OFFSET(PluginStartupInfo, GetMsg, 48);
FAR_OFFSET(PluginStartupInfo, Control, 56);
FAR_OFFSET(PluginStartupInfo, SaveScreen, 64);
FAR_OFFSET(PluginStartupInfo, RestoreScreen, 72);
FAR_OFFSET(PluginStartupInfo, GetDirList, 80);
FAR_OFFSET(PluginStartupInfo, GetPluginDirList, 88);
FAR_OFFSET(PluginStartupInfo, FreeDirList, 96);
FAR_OFFSET(PluginStartupInfo, FreePluginDirList, 104);
FAR_OFFSET(PluginStartupInfo, Viewer, 112);
FAR_OFFSET(PluginStartupInfo, Editor, 120);
FAR_OFFSET(PluginStartupInfo, CmpName, 128);
FAR_OFFSET(PluginStartupInfo, Text, 136);
FAR_OFFSET(PluginStartupInfo, EditorControl, 144);
FAR_OFFSET(PluginStartupInfo, FSF, 152);
FAR_OFFSET(PluginStartupInfo, ShowHelp, 160);
FAR_OFFSET(PluginStartupInfo, AdvControl, 168);
FAR_OFFSET(PluginStartupInfo, InputBox, 176);
FAR_OFFSET(PluginStartupInfo, DialogInit, 184);
FAR_OFFSET(PluginStartupInfo, DialogRun, 192);
FAR_OFFSET(PluginStartupInfo, DialogFree, 200);
FAR_OFFSET(PluginStartupInfo, SendDlgMessage, 208);
FAR_OFFSET(PluginStartupInfo, DefDlgProc, 216);
FAR_OFFSET(PluginStartupInfo, Reserved, 224);
FAR_OFFSET(PluginStartupInfo, ViewerControl, 232);
FAR_OFFSET(PluginStartupInfo, PluginsControl, 240);
FAR_OFFSET(PluginStartupInfo, FileFilterControl, 248);
FAR_OFFSET(PluginStartupInfo, RegExpControl, 256);

FAR_LAYOUT(FarStandardFunctions, 456);
FAR_OFFSET(FarStandardFunctions, StructSize, 0);
FAR_OFFSET(FarStandardFunctions, atoi, 8);
FAR_OFFSET(FarStandardFunctions, snprintf, 80);
FAR_OFFSET(FarStandardFunctions, Reserved, 88);
FAR_OFFSET(FarStandardFunctions, LIsLower, 152);
FAR_OFFSET(FarStandardFunctions, LStrnicmp, 240);
FAR_OFFSET(FarStandardFunctions, Unquote, 248);
FAR_OFFSET(FarStandardFunctions, LTrim, 256);
FAR_OFFSET(FarStandardFunctions, RTrim, 264);
FAR_OFFSET(FarStandardFunctions, Trim, 272);
FAR_OFFSET(FarStandardFunctions, TruncStr, 280);
FAR_OFFSET(FarStandardFunctions, TruncPathStr, 288);
FAR_OFFSET(FarStandardFunctions, QuoteSpaceOnly, 296);
FAR_OFFSET(FarStandardFunctions, PointToName, 304);
FAR_OFFSET(FarStandardFunctions, GetPathRoot, 312);
FAR_OFFSET(FarStandardFunctions, AddEndSlash, 320);
FAR_OFFSET(FarStandardFunctions, CopyToClipboard, 328);
FAR_OFFSET(FarStandardFunctions, PasteFromClipboard, 336);
FAR_OFFSET(FarStandardFunctions, FarKeyToName, 344);
FAR_OFFSET(FarStandardFunctions, FarNameToKey, 352);
FAR_OFFSET(FarStandardFunctions, FarInputRecordToKey, 360);
FAR_OFFSET(FarStandardFunctions, XLat, 368);
FAR_OFFSET(FarStandardFunctions, GetFileOwner, 376);
FAR_OFFSET(FarStandardFunctions, GetNumberOfLinks, 384);
FAR_OFFSET(FarStandardFunctions, FarRecursiveSearch, 392);
FAR_OFFSET(FarStandardFunctions, MkTemp, 400);
FAR_OFFSET(FarStandardFunctions, DeleteBuffer, 408);
FAR_OFFSET(FarStandardFunctions, ProcessName, 416);
FAR_OFFSET(FarStandardFunctions, MkLink, 424);
FAR_OFFSET(FarStandardFunctions, ConvertPath, 432);
FAR_OFFSET(FarStandardFunctions, GetReparsePointInfo, 440);
FAR_OFFSET(FarStandardFunctions, GetCurrentDirectory, 448);

FAR_LAYOUT(PluginInfo, 80);
FAR_OFFSET(PluginInfo, StructSize, 0);
FAR_OFFSET(PluginInfo, Flags, 4);
FAR_OFFSET(PluginInfo, DiskMenuStrings, 8);
FAR_OFFSET(PluginInfo, Reserved0, 16);
FAR_OFFSET(PluginInfo, DiskMenuStringsNumber, 24);
FAR_OFFSET(PluginInfo, PluginMenuStrings, 32);
FAR_OFFSET(PluginInfo, PluginMenuStringsNumber, 40);
FAR_OFFSET(PluginInfo, PluginConfigStrings, 48);
FAR_OFFSET(PluginInfo, PluginConfigStringsNumber, 56);
FAR_OFFSET(PluginInfo, CommandPrefix, 64);
FAR_OFFSET(PluginInfo, Reserved, 72);

FAR_LAYOUT(FAR_FIND_DATA, 64);
FAR_OFFSET(FAR_FIND_DATA, dwFileAttributes, 0);
FAR_OFFSET(FAR_FIND_DATA, ftCreationTime, 4);
FAR_OFFSET(FAR_FIND_DATA, ftLastAccessTime, 12);
FAR_OFFSET(FAR_FIND_DATA, ftLastWriteTime, 20);
FAR_OFFSET(FAR_FIND_DATA, nFileSize, 32);
FAR_OFFSET(FAR_FIND_DATA, nPackSize, 40);
FAR_OFFSET(FAR_FIND_DATA, lpwszFileName, 48);
FAR_OFFSET(FAR_FIND_DATA, lpwszAlternateFileName, 56);

FAR_LAYOUT(PluginPanelItem, 136);
FAR_OFFSET(PluginPanelItem, FindData, 0);
FAR_OFFSET(PluginPanelItem, Flags, 64);
FAR_OFFSET(PluginPanelItem, NumberOfLinks, 68);
FAR_OFFSET(PluginPanelItem, Description, 72);
FAR_OFFSET(PluginPanelItem, Owner, 80);
FAR_OFFSET(PluginPanelItem, CustomColumnData, 88);
FAR_OFFSET(PluginPanelItem, CustomColumnNumber, 96);
FAR_OFFSET(PluginPanelItem, UserData, 104);
FAR_OFFSET(PluginPanelItem, CRC32, 112);
FAR_OFFSET(PluginPanelItem, Reserved, 120);

FAR_LAYOUT(PanelInfo, 68);
FAR_OFFSET(PanelInfo, PanelType, 0);
FAR_OFFSET(PanelInfo, Plugin, 4);
FAR_OFFSET(PanelInfo, PanelRect, 8);
FAR_OFFSET(PanelInfo, ItemsNumber, 24);
FAR_OFFSET(PanelInfo, SelectedItemsNumber, 28);
FAR_OFFSET(PanelInfo, CurrentItem, 32);
FAR_OFFSET(PanelInfo, TopPanelItem, 36);
FAR_OFFSET(PanelInfo, Visible, 40);
FAR_OFFSET(PanelInfo, Focus, 44);
FAR_OFFSET(PanelInfo, ViewMode, 48);
FAR_OFFSET(PanelInfo, ShortNames, 52);
FAR_OFFSET(PanelInfo, SortMode, 56);
FAR_OFFSET(PanelInfo, Flags, 60);
FAR_OFFSET(PanelInfo, Reserved, 64);

FAR_LAYOUT(PanelRedrawInfo, 8);
FAR_OFFSET(PanelRedrawInfo, TopPanelItem, 4);

FAR_LAYOUT(PanelMode, 64);
FAR_OFFSET(PanelMode, ColumnTitles, 16);
FAR_OFFSET(PanelMode, FullScreen, 24);
FAR_OFFSET(PanelMode, CaseConversion, 36);
FAR_OFFSET(PanelMode, StatusColumnTypes, 40);
FAR_OFFSET(PanelMode, StatusColumnWidths, 48);
FAR_OFFSET(PanelMode, Reserved, 56);

FAR_LAYOUT(KeyBarTitles, 672);
FAR_OFFSET(KeyBarTitles, AltTitles, 192);
FAR_OFFSET(KeyBarTitles, CtrlAltTitles, 576);
FAR_LAYOUT(OpenPluginInfo, 120);
FAR_OFFSET(OpenPluginInfo, StructSize, 0);
FAR_OFFSET(OpenPluginInfo, Flags, 4);
FAR_OFFSET(OpenPluginInfo, HostFile, 8);
FAR_OFFSET(OpenPluginInfo, CurDir, 16);
FAR_OFFSET(OpenPluginInfo, Format, 24);
FAR_OFFSET(OpenPluginInfo, PanelTitle, 32);
FAR_OFFSET(OpenPluginInfo, InfoLines, 40);
FAR_OFFSET(OpenPluginInfo, InfoLinesNumber, 48);
FAR_OFFSET(OpenPluginInfo, DescrFiles, 56);
FAR_OFFSET(OpenPluginInfo, DescrFilesNumber, 64);
FAR_OFFSET(OpenPluginInfo, PanelModesArray, 72);
FAR_OFFSET(OpenPluginInfo, PanelModesNumber, 80);
FAR_OFFSET(OpenPluginInfo, StartPanelMode, 84);
FAR_OFFSET(OpenPluginInfo, StartSortMode, 88);
FAR_OFFSET(OpenPluginInfo, StartSortOrder, 92);
FAR_OFFSET(OpenPluginInfo, KeyBar, 96);
FAR_OFFSET(OpenPluginInfo, ShortcutData, 104);
FAR_OFFSET(OpenPluginInfo, Reserved, 112);

FAR_LAYOUT(FarMenuItem, 24);
FAR_OFFSET(FarMenuItem, Text, 0);
FAR_OFFSET(FarMenuItem, Selected, 8);
FAR_OFFSET(FarMenuItem, Checked, 12);
FAR_OFFSET(FarMenuItem, Separator, 16);

FAR_LAYOUT(FarDialogItem, 56);
FAR_OFFSET(FarDialogItem, Type, 0);
FAR_OFFSET(FarDialogItem, X1, 4);
FAR_OFFSET(FarDialogItem, Y1, 8);
FAR_OFFSET(FarDialogItem, X2, 12);
FAR_OFFSET(FarDialogItem, Y2, 16);
FAR_OFFSET(FarDialogItem, Focus, 20);
FAR_OFFSET(FarDialogItem, Param, 24);
FAR_OFFSET(FarDialogItem, Flags, 32);
FAR_OFFSET(FarDialogItem, DefaultButton, 36);
FAR_OFFSET(FarDialogItem, PtrData, 40);
FAR_OFFSET(FarDialogItem, MaxLen, 48);

FAR_LAYOUT(FarDialogItemData, 16);
FAR_OFFSET(FarDialogItemData, PtrData, 8);

#undef FAR_LAYOUT
#undef FAR_OFFSET

static_assert(MakeFarVersion(2, 0, 1847) == 0x07370200);

}  // namespace far
