// The controls of TFarDialog. Each wraps one host item: while the dialog is inactive it reads
// and writes its record in the dialog's block; while it is active it talks to the live host
// dialog, and its setters keep the record up to date as well.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "framework/FarDialog.h"
#include "platform/Lock.h"

namespace wm {

class TFarDialog::TControl {
public:
    // DN_KILLFOCUS: setting `next` sends the focus there instead.
    using TExitHandler = std::function<void(TControl& sender, TControl*& next)>;
    using TEnterHandler = std::function<void(TControl& sender)>;
    // DN_KEY with the key code (low 20 bits) and the modifier bits (high 12 bits).
    using TKeyHandler =
        std::function<void(TControl& sender, uint32_t key, uint32_t shift, bool& handled)>;

    TControl(TConstruction, TFarDialog& dialog, int itemType);
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    TFarDialog& GetDialog() const { return *Dialog_; }
    int GetIndex() const { return Index_; }
    // The control's record; EListError when its index lies outside the dialog's controls.
    far::FarDialogItem& GetItem() const;
    int ItemType() const { return GetItem().Type; }

    // Natural width, and the height that SetBounds never exceeds.
    virtual int GetAutoWidth();
    virtual int GetMaxHeight() const;
    // DN_INITDIALOG.
    virtual void InitControl();

    void GetBounds(int& x, int& y, int& w, int& h) const;
    void SetBounds(int x, int y, int w, int h);
    int GetLeft() const;
    int GetTop() const;
    int GetWidth() const;
    int GetHeight() const;
    void SetLeft(int x);
    void SetTop(int y);
    void SetWidth(int w);
    void SetHeight(int h);

    String GetText() const;
    void SetText(StringView text);
    uint32_t GetFlags() const;
    void SetFlags(uint32_t flags);
    bool GetChecked() const;
    void SetChecked(bool checked);
    bool GetEnabled() const;
    void SetEnabled(bool enabled);
    bool GetVisible() const;
    void SetVisible(bool visible);
    void SetDefault(bool value);
    bool GetShowAmpersand() const;
    void SetShowAmpersand(bool value);

    TExitHandler OnExit;
    TEnterHandler OnEnter;
    TKeyHandler OnKey;

protected:
    struct THostStringDeleter {
        void operator()(far::HostChar* text) const noexcept { FreeHostString(text); }
    };
    // A private zero-terminated copy for the host; null for the empty text.
    using THostString = std::unique_ptr<far::HostChar, THostStringDeleter>;
    static THostString CopyForHost(StringView text);

    bool Live() const { return Dialog_->Active(); }
    far::LONG_PTR Send(int msg, far::LONG_PTR param2) const;
    void ChangeFlag(uint32_t flag, bool set);
    // Fetches the live item (size first, then the item), applies `action` to it and, with
    // `writeBack`, sends it back. False when the dialog is inactive or the host refuses.
    bool UpdateLiveItem(const std::function<void(far::FarDialogItem&)>& action,
                        bool writeBack) const;

    THostString History_;
    THostString Mask_;

private:
    friend class TFarDialog;

    TFarDialog* Dialog_;
    int Index_;
    THostString Text_;
};

class TFarDialog::TLabelLikeControl : public TControl {
public:
    TLabelLikeControl(TConstruction key, TFarDialog& dialog, int itemType, int x, int y, int w,
                      int h, StringView text);

    // The text length, less the cell of a hot-key '&' that the host hides.
    int GetAutoWidth() override;
    // 0 and 2 centre the text, 1 sets it flush left; other values change nothing.
    void SetAlignment(int alignment);
};

class TFarDialog::TLabel : public TLabelLikeControl {
public:
    TLabel(TConstruction key, TFarDialog& dialog, int x, int y, int w, StringView text,
           int alignment);
};

class TFarDialog::TSeparator : public TLabel {
public:
    TSeparator(TConstruction key, TFarDialog& dialog, int y);
};

class TFarDialog::TDoubleBox : public TLabelLikeControl {
public:
    TDoubleBox(TConstruction key, TFarDialog& dialog, int x, int y, int w, int h, StringView title);
    int GetMaxHeight() const override;
};

class TFarDialog::TButtonLikeControl : public TControl {
public:
    TButtonLikeControl(TConstruction key, TFarDialog& dialog, int itemType, int x, int y,
                       StringView text);

    // The text length and four cells of brackets.
    int GetAutoWidth() override;
    void SetCenterGroup(bool value);
};

class TFarDialog::TButton : public TButtonLikeControl {
public:
    // DN_BTNCLICK: a handled click keeps the dialog open.
    using TClickHandler = std::function<void(TButton& sender, bool& handled)>;

    TButton(TConstruction key, TFarDialog& dialog, int x, int y, StringView text);
    void SetNoClose(bool value);

    TClickHandler OnClick;
};

class TFarDialog::TCheckbox : public TButtonLikeControl {
public:
    // DN_BTNCLICK with the new state (0 unchecked, 1 checked, 2 third state).
    using TClickHandler = std::function<void(TCheckbox& sender, int state, bool& allow)>;

    TCheckbox(TConstruction key, TFarDialog& dialog, int x, int y, StringView text, bool checked);

    TClickHandler OnClick;
};

class TFarDialog::TRadioButton : public TButtonLikeControl {
public:
    using TSelectHandler = std::function<void(TRadioButton& sender, bool& allow)>;

    TRadioButton(TConstruction key, TFarDialog& dialog, int x, int y, StringView text);

    TSelectHandler OnSelect;
    TSelectHandler OnDeselect;
};

class TFarDialog::TCustomEdit : public TControl {
public:
    class TDelayedChangeThread;
    using TChangeHandler = std::function<void(TCustomEdit& sender, bool& allow)>;

    TCustomEdit(TConstruction key, TFarDialog& dialog, int itemType, int x, int y, int w,
                StringView text);
    // Stops the change thread first: a waiting worker ends without calling the handler.
    ~TCustomEdit() override;

    // Re-sends a cleared unchanged mark, which the record cannot carry.
    void InitControl() override;

    // History and mask share the record's parameter: the one set last occupies it, while
    // both flags stay as set.
    void SetHistory(StringView name);
    void SetMask(StringView mask);
    bool GetUnchanged() const { return Unchanged_; }
    void SetUnchanged(bool value);

    // The change handler. With a change delay it runs on the edit's worker thread once the
    // text has stayed unchanged for the delay, so it must be safe to call from there.
    void SetOnChange(TChangeHandler handler);
    uint32_t GetChangeDelay() const { return ChangeDelay_.load(); }
    void SetChangeDelay(uint32_t milliseconds) { ChangeDelay_.store(milliseconds); }

    // DN_EDITCHANGE: the handler's answer, or true when the notification is delayed.
    bool DoChange();

private:
    // Stores the history name or mask in `slot`, points the record's parameter at it and
    // sets or clears `flag` by whether it is empty; live, the same goes to the host.
    void SetParameterText(THostString& slot, StringView text, uint32_t flag);
    TChangeHandler GetOnChange() const;
    // Called by the worker once the quiet period has passed.
    void NotifyDelayedChange() noexcept;
    TDelayedChangeThread& ChangeThread();
    void StopChangeThread() noexcept;

    bool Unchanged_ = true;
    mutable platform::Lock HandlerLock_;
    TChangeHandler OnChange_;
    std::atomic<uint32_t> ChangeDelay_{0};
    // None, Creating, Ready: the thread is made on first need without a lock.
    std::atomic<int> ChangeThreadState_{0};
    std::unique_ptr<TDelayedChangeThread> ChangeThread_;
};

class TFarDialog::TEdit : public TCustomEdit {
public:
    TEdit(TConstruction key, TFarDialog& dialog, int x, int y, int w, StringView text);
};

class TFarDialog::TListbox : public TControl {
public:
    using TChangeHandler =
        std::function<void(TListbox& sender, far::LONG_PTR newIndex, bool& allow)>;

    TListbox(TConstruction key, TFarDialog& dialog, int x, int y, int w, int h);
    int GetMaxHeight() const override;

    // The list's lines, kept by the control; the host's list records are not used.
    std::vector<String> Items;
    TChangeHandler OnChange;
};

}  // namespace wm
