// One dialog as the stand-in host runs it: its own copy of the items (texts included), focus,
// position and check states; the notifications it sends the plugin while the user's actions
// are played; and its answers to the DM_ messages.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/String.h"
#include "farhost/engine/DialogAction.h"
#include "farhost/engine/EditMask.h"
#include "host/PluginW.h"

namespace farhost {

class HostDialog;

// Asked for the user's next action when none is queued; std::nullopt closes the dialog.
using DialogPrompt = std::function<std::optional<DialogAction>(const HostDialog& dialog)>;

// What a dialog needs from its host while it runs.
class DialogEnvironment {
public:
    virtual far::COORD ConsoleSize() const = 0;
    virtual void ResizeConsole(far::COORD size) = 0;
    // The user's next action; std::nullopt when the user has nothing more to do.
    virtual std::optional<DialogAction> NextAction(const HostDialog& dialog) = 0;
    // The dialog as it looks now, for the record of screens.
    virtual void ShowScreen(const HostDialog& dialog) = 0;
    // An action or message the host refuses.
    virtual void ReportError(const std::string& error) = 0;
    // The texts entered in edits with this history name, the latest last; none by default.
    virtual std::vector<wm::String> History(const wm::String& /*name*/) const { return {}; }
    virtual void AddToHistory(const wm::String& /*name*/, const wm::String& /*text*/) {}
    // The user picks an entry of the history list of edit `item`: its index, or -1.
    virtual int ChooseFromHistory(const HostDialog& /*dialog*/, int /*item*/,
                                  const std::vector<wm::String>& /*entries*/) {
        return -1;
    }

protected:
    ~DialogEnvironment() = default;
};

class HostDialog {
public:
    struct Item {
        // Pointers to texts are not kept here; outgoing copies point at the strings below.
        far::FarDialogItem record{};
        wm::String text;
        // The history name or mask of an edit that has DIF_HISTORY or DIF_MASKEDIT.
        wm::String parameter;
        // An unchanged edit loses its text to the first character typed.
        bool unchanged = true;
        // Where typing goes in an edit's text (kept at most its length when used).
        size_t cursor = 0;
    };

    // The arguments of DialogInit. A negative X1 (Y1) centres the dialog, X2 (Y2) being then
    // its width (height).
    HostDialog(DialogEnvironment& environment, int x1, int y1, int x2, int y2,
               far::HostText helpTopic, const far::FarDialogItem* items, unsigned count,
               far::DWORD flags, far::FARWINDOWPROC proc, far::LONG_PTR param);
    HostDialog(const HostDialog&) = delete;
    HostDialog& operator=(const HostDialog&) = delete;

    // The handle the plugin knows the dialog by.
    far::HANDLE Handle() const { return const_cast<HostDialog*>(this); }

    // Sends DN_INITDIALOG, then plays the user's actions until one closes the dialog. The
    // index of the closing item, or -1 (Esc, or no action left).
    int Run();
    // SendDlgMessage.
    far::LONG_PTR Message(int msg, int param1, far::LONG_PTR param2);
    // DefDlgProc: the host's answers to notifications the plugin leaves alone.
    far::LONG_PTR Default(int msg, int param1, far::LONG_PTR param2) const;
    // Sends a notification to the plugin's dialog procedure (DefDlgProc without one) and
    // gives its answer.
    far::LONG_PTR Notify(int msg, int param1, far::LONG_PTR param2);

    const std::vector<Item>& Items() const { return items_; }
    const wm::String& HelpTopic() const { return helpTopic_; }
    far::DWORD Flags() const { return flags_; }
    // The focused item, or -1.
    int Focus() const { return focus_; }
    bool Running() const { return running_; }
    // Absolute screen cells.
    far::SMALL_RECT Rect() const;
    // Where the item is drawn, relative to the dialog: centred groups placed, the width of
    // buttons and check boxes taken from their texts, single-line items one row high.
    far::SMALL_RECT ItemRect(int index) const;
    // Completed DM_REDRAW calls and the redraw lock of DM_ENABLEREDRAW.
    int RedrawCount() const { return redraws_; }
    int RedrawLock() const { return redrawLock_; }

    // The text as shown: the hot-key '&' hidden unless DIF_SHOWAMPERSAND ("&&" shows one).
    static wm::String DisplayText(const Item& item);
    static bool IsEdit(int type);
    // Whether the record's parameter is a text (history name or mask).
    static bool HasTextParameter(const far::FarDialogItem& record);

private:
    bool ValidIndex(int index) const;
    bool Focusable(int index) const;
    bool Enabled(int index) const;
    // The record with its text pointers aimed at the item's strings.
    far::FarDialogItem Outgoing(int index) const;
    // The width of a button, check box or radio button with its brackets.
    int ControlWidth(int index) const;
    // The left column of every item of a centred group on the row of `index`.
    int GroupLeft(int index) const;

    void Play(const DialogAction& action);
    bool Refuse(const DialogAction& action, const std::string& reason);
    void PressKey(uint32_t key);
    // Cursor movement, BS, Del and typing in the focused edit; false for other keys.
    bool EditKey(uint32_t key);
    // Presses the button, check box or radio button with this hot key, or focuses the item
    // after a label with it.
    void PressHotKey(char16_t hotKey);
    void Press(int index);
    void ChangeFocus(int target);
    int NextFocusable(int from, int step) const;
    void TypeCharacter(int index, char16_t c);
    void EditChanged(int index);
    void ReplaceText(int index, wm::String text);
    // A fixed edit with DIF_MASKEDIT keeps its text fitted to the mask.
    std::optional<EditMask> MaskOf(const Item& item) const;
    void FitToMask(Item& item) const;
    // Ctrl+Down in an edit with a history: the chosen entry replaces the text.
    void OpenHistory(int index);
    void SaveHistories();
    void SelectRadio(int index);
    int DefaultButton() const;
    void Close(int exitCode);
    void Centre();

    // Parts of Message. DM_GETDLGITEM: the record and its texts into `buffer` (its size asked
    // for when null); the bytes needed.
    size_t CopyItemOut(int index, far::LONG_PTR buffer) const;
    // DM_GETTEXT: the text's length when `data` has no buffer, else the length copied.
    size_t CopyTextOut(int index, far::FarDialogItemData* data) const;
    // DM_SETDLGITEM: false when the record would change the item's type.
    bool ReplaceItem(int index, const far::FarDialogItem& record);
    // DM_SETTEXT: the new text's length.
    size_t SetItemText(int index, const far::FarDialogItemData* data);
    // DM_SETCHECK: the previous state, 0 for items without one.
    int SetCheck(int index, far::LONG_PTR state);
    // DM_MOVEDIALOG: to `position` (a negative coordinate centres), or by it.
    void Move(bool absolute, far::COORD position);

    DialogEnvironment& environment_;
    std::vector<Item> items_;
    wm::String helpTopic_;
    far::DWORD flags_;
    far::FARWINDOWPROC proc_;
    far::LONG_PTR param_;

    int x_ = 0, y_ = 0, width_ = 1, height_ = 1;
    bool centredX_ = false, centredY_ = false;
    int focus_ = -1;
    bool running_ = false;
    bool closed_ = false;
    int exitCode_ = -1;
    int redraws_ = 0;
    int redrawLock_ = 0;
};

}  // namespace farhost
