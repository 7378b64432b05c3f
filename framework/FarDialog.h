// Dialogs over the host's dialog interface. A dialog owns its controls and, in parallel, the
// block of item records that DialogInit receives; while the host dialog exists every property
// goes through SendDlgMessage instead. One dialog procedure serves every dialog of the module.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

#include "core/Exceptions.h"
#include "core/Guid.h"
#include "framework/FarModule.h"

namespace wm {

class TFarDialog : public TFarCommonModule {
public:
    class TControl;
    class TLabelLikeControl;
    class TLabel;
    class TSeparator;
    class TDoubleBox;
    class TButtonLikeControl;
    class TButton;
    class TCheckbox;
    class TRadioButton;
    class TCustomEdit;
    class TEdit;
    class TListbox;

    using TColumnWidths = std::vector<int32_t>;
    using TControlList = std::vector<TControl*>;

    // Every dialog and control constructor takes one. Only TFarDialog makes them, so dialogs
    // come from New and controls from Add, which finish what a constructor cannot.
    class TConstruction {
        TConstruction() = default;
        friend class TFarDialog;
    };

    // Records grow this many at a time.
    static constexpr int kCapacityStep = 64;

    // Constructs the dialog, then runs its after-construction steps (the descendants' controls,
    // then the default size).
    template <class Dialog, class... Args>
    static std::unique_ptr<Dialog> New(Args&&... args);

    TFarDialog(TConstruction, const Guid& id);
    virtual ~TFarDialog();
    TFarDialog(const TFarDialog&) = delete;
    TFarDialog& operator=(const TFarDialog&) = delete;

    // ---- Controls ---------------------------------------------------------------------

    // Makes a control owned by this dialog at the next index. Raises EFarDialogError while
    // the dialog is active; the dialog is then unchanged.
    template <class Control, class... Args>
    Control* Add(Args&&... args);

    TButton* AddButton(int x, int y, StringView text);
    TCheckbox* AddCheckbox(int x, int y, StringView text, bool checked);
    TDoubleBox* AddDoubleBox(int x, int y, int w, int h, StringView title);
    TEdit* AddEdit(int x, int y, int w, StringView text);
    TLabel* AddLabel(int x, int y, int w, StringView text, int alignment);
    TSeparator* AddSeparator(int y);

    // Frees the control; every later control moves one index down with its record. Raises
    // EFarDialogError while the dialog is active.
    void RemoveControl(TControl* control);

    // Raises EListError for an index outside 0..ControlCount() - 1.
    TControl* GetControl(int index) const;
    int ControlCount() const { return Count_; }
    // Entries allocated for records and controls: a multiple of kCapacityStep.
    int Capacity() const { return static_cast<int>(Items_.size()); }
    // The records in control order (null while none has been allocated).
    const far::FarDialogItem* Items() const { return Items_.empty() ? nullptr : Items_.data(); }

    // ---- The host dialog --------------------------------------------------------------

    const Guid& GetId() const { return Id_; }
    far::HANDLE GetHandle() const { return Handle_; }
    bool Active() const { return Handle_ != far::INVALID_HANDLE_VALUE; }

    // Builds the host dialog unless it is active, and runs it. True with the button that
    // closed it; false and null otherwise. The host dialog stays active afterwards, so the
    // controls answer with the values the user left.
    bool Execute(TButton*& button);
    // Replaces any earlier host dialog with one made from the records; false when refused.
    bool BuildDialog();
    void ReleaseDialog();
    far::LONG_PTR SendMessage(int msg, int param1, far::LONG_PTR param2);

    // ---- Geometry and settings --------------------------------------------------------

    void GetBounds(int& x, int& y, int& w, int& h);
    int GetHeight();
    void SetHeight(int h);
    void SetPosition(int x, int y);
    uint32_t GetDialogFlags() const { return DialogFlags_; }
    void SetDialogFlags(uint32_t flags);
    const String& GetHelpTopic() const { return HelpTopic_; }
    void SetHelpTopic(StringView topic);
    // Suspend and resume redrawing of the live dialog; nested calls count.
    void BeginUpdate();
    void EndUpdate();
    void Redraw();

    virtual void ClearControls();
    virtual void GetClientRect(int& x, int& y, int& w, int& h);
    // Stores a positive size (resizing a live dialog); descendants lay out their controls.
    virtual void SetSize(int w, int h);
    // Places controls side by side from `left`: column i is widths[i] cells wide, the control
    // in it one cell narrower. Every control but the first moves to `top`; null entries leave
    // their column empty.
    virtual void Columnize(const TColumnWidths& widths, const TControlList& controls, int left,
                           int top);
    // As above, on the first control's row.
    virtual void Columnize(const TColumnWidths& widths, const TControlList& controls, int left);

protected:
    // Runs once after the whole constructor chain; overrides call the base last.
    virtual void AfterConstruction();

    // Host notifications: true when handled, with `result` going back to the host; false
    // leaves the message to the host's default processing.
    virtual bool DialogProc(int msg, int param1, far::LONG_PTR param2, far::LONG_PTR& result);
    virtual bool DoInitDialog(int param1, far::LONG_PTR param2, far::LONG_PTR& result);
    virtual bool DoButtonClick(int param1, far::LONG_PTR param2, far::LONG_PTR& result);
    virtual bool DoEditChange(int param1, far::LONG_PTR param2, far::LONG_PTR& result);
    virtual bool DoGotFocus(int param1, far::LONG_PTR param2, far::LONG_PTR& result);
    virtual bool DoKillFocus(int param1, far::LONG_PTR param2, far::LONG_PTR& result);
    virtual bool DoListChange(int param1, far::LONG_PTR param2, far::LONG_PTR& result);
    virtual bool DoKey(int param1, far::LONG_PTR param2, far::LONG_PTR& result);
    virtual bool DoResizeConsole(int param1, far::LONG_PTR param2, far::LONG_PTR& result);

    // The default size policy: the host window less four cells each way.
    virtual void AdjustSize(int& w, int& h);

private:
    // The procedure the host calls for every dialog of the module.
    static far::LONG_PTR HostDialogProc(far::HANDLE dialog, int32_t msg, int32_t param1,
                                        far::LONG_PTR param2) noexcept;

    void RequireInactive(const char16_t* message) const;
    // Registers a control under construction: its record is zeroed and typed at the next index.
    int AddControl(int itemType);
    // Drops the entry of a control being destroyed; later entries move down.
    void DetachControl(int index) noexcept;
    void Adopt(std::unique_ptr<TControl> control);
    far::FarDialogItem& Record(int index);
    // The control at `index` when it is one of class T.
    template <class T>
    T* ControlAs(int index) const;
    String ClassName() const;

    Guid Id_;
    far::HANDLE Handle_ = far::INVALID_HANDLE_VALUE;
    // An error raised by a handler while the host ran the dialog; Execute raises it again.
    std::exception_ptr PendingError_;
    std::vector<far::FarDialogItem> Items_;
    std::vector<std::unique_ptr<TControl>> Controls_;
    int Count_ = 0;
    int X_ = -1;
    int Y_ = -1;
    int Width_ = 0;
    int Height_ = 0;
    String HelpTopic_;
    uint32_t DialogFlags_ = 0;
    int UpdateCount_ = 0;
};

template <class Dialog, class... Args>
std::unique_ptr<Dialog> TFarDialog::New(Args&&... args) {
    auto dialog = std::make_unique<Dialog>(TConstruction{}, std::forward<Args>(args)...);
    static_cast<TFarDialog&>(*dialog).AfterConstruction();
    return dialog;
}

template <class Control, class... Args>
Control* TFarDialog::Add(Args&&... args) {
    auto control = std::make_unique<Control>(TConstruction{}, *this, std::forward<Args>(args)...);
    Control* result = control.get();
    Adopt(std::move(control));
    return result;
}

}  // namespace wm
