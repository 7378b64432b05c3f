#include "framework/FarDialog.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <typeinfo>

#include "framework/FarDialogControls.h"
#include "framework/FarLiveList.h"
#include "framework/FarScreen.h"

namespace wm {
namespace {

// The dialogs that have a host dialog.
TFarLiveList<TFarDialog>& ActiveDialogs() {
    static TFarLiveList<TFarDialog> dialogs;
    return dialogs;
}

void Register(TFarDialog* dialog) {
    ActiveDialogs().Add(dialog);
}

void Unregister(TFarDialog* dialog) noexcept {
    ActiveDialogs().Remove(dialog);
}

TFarDialog* FindActive(far::HANDLE handle) noexcept {
    return ActiveDialogs().Find(
        [&](TFarDialog* dialog) { return dialog->Active() && dialog->GetHandle() == handle; });
}

// Runs an event handler: an EAbort from it means "default processing", so the routing
// answers false; every other exception goes on to the dialog procedure's guard.
template <class Body>
bool RunHandler(Body&& body) {
    try {
        return body();
    } catch (const EAbort&) {
        return false;
    }
}

}  // namespace

TFarDialog::TFarDialog(TConstruction, const Guid& id) : Id_(id) {}

TFarDialog::~TFarDialog() {
    try {
        ReleaseDialog();
    } catch (...) {
        // No host to free the dialog with any more; the registry no longer lists it.
    }
    TFarDialog::ClearControls();
}

void TFarDialog::AfterConstruction() {
    if (Width_ <= 0) Width_ = TFarScreen::GetWidth();
    if (Height_ <= 0) Height_ = TFarScreen::GetHeight();
    int w = Width_, h = Height_;
    AdjustSize(w, h);
    Width_ = std::max(w, 1);
    Height_ = std::max(h, 1);
}

String TFarDialog::ClassName() const {
    const char* mangled = typeid(*this).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : mangled;
    std::free(demangled);
    if (const auto scope = name.rfind("::"); scope != std::string::npos) name.erase(0, scope + 2);
    return FromUtf8(name);
}

// ---- Controls -------------------------------------------------------------------------

void TFarDialog::RequireInactive(const char16_t* message) const {
    if (Active()) throw EFarDialogError(message);
}

int TFarDialog::AddControl(int itemType) {
    RequireInactive(u"Can't add controls to an active dialog");
    if (Count_ == Capacity()) {
        const size_t capacity = Items_.size() + kCapacityStep;
        Items_.resize(capacity);
        Controls_.resize(capacity);
    }
    const int index = Count_++;
    Items_[index] = far::FarDialogItem{};
    Items_[index].Type = itemType;
    return index;
}

void TFarDialog::Adopt(std::unique_ptr<TControl> control) {
    Controls_[control->Index_] = std::move(control);
}

void TFarDialog::DetachControl(int index) noexcept {
    if (index < 0 || index >= Count_) return;
    // The slot is empty by now: its owner took the control out to destroy it, or the
    // control's construction failed before Add adopted it.
    for (int k = index; k + 1 < Count_; ++k) {
        Controls_[k] = std::move(Controls_[k + 1]);
        Items_[k] = Items_[k + 1];
        if (Controls_[k]) Controls_[k]->Index_ = k;
    }
    --Count_;
    Items_[Count_] = far::FarDialogItem{};
    Controls_[Count_].reset();
}

void TFarDialog::RemoveControl(TControl* control) {
    RequireInactive(u"Can't remove controls from an active dialog");
    if (control == nullptr || &control->GetDialog() != this) return;
    std::unique_ptr<TControl> doomed = std::move(Controls_[control->Index_]);
    doomed.reset();  // its destructor detaches the entry
}

TFarDialog::TControl* TFarDialog::GetControl(int index) const {
    if (index < 0 || index >= Count_) throw EListError(u"Index out of bounds");
    return Controls_[index].get();
}

far::FarDialogItem& TFarDialog::Record(int index) {
    if (index < 0 || index >= Count_) throw EListError(u"Index out of bounds");
    return Items_[index];
}

template <class T>
T* TFarDialog::ControlAs(int index) const {
    if (index < 0 || index >= Count_) return nullptr;
    return dynamic_cast<T*>(Controls_[index].get());
}

TFarDialog::TButton* TFarDialog::AddButton(int x, int y, StringView text) {
    return Add<TButton>(x, y, text);
}

TFarDialog::TCheckbox* TFarDialog::AddCheckbox(int x, int y, StringView text, bool checked) {
    return Add<TCheckbox>(x, y, text, checked);
}

TFarDialog::TDoubleBox* TFarDialog::AddDoubleBox(int x, int y, int w, int h, StringView title) {
    return Add<TDoubleBox>(x, y, w, h, title);
}

TFarDialog::TEdit* TFarDialog::AddEdit(int x, int y, int w, StringView text) {
    return Add<TEdit>(x, y, w, text);
}

TFarDialog::TLabel* TFarDialog::AddLabel(int x, int y, int w, StringView text, int alignment) {
    return Add<TLabel>(x, y, w, text, alignment);
}

TFarDialog::TSeparator* TFarDialog::AddSeparator(int y) {
    return Add<TSeparator>(y);
}

void TFarDialog::ClearControls() {
    ReleaseDialog();
    for (int k = static_cast<int>(Controls_.size()) - 1; k >= 0; --k) {
        if (!Controls_[k]) continue;
        std::unique_ptr<TControl> doomed = std::move(Controls_[k]);
        doomed.reset();
    }
    Controls_.clear();
    Controls_.shrink_to_fit();
    Items_.clear();
    Items_.shrink_to_fit();
    Count_ = 0;
}

// ---- The host dialog ------------------------------------------------------------------

bool TFarDialog::BuildDialog() {
    ReleaseDialog();
    int x, y, w, h;
    GetBounds(x, y, w, h);
    SetSize(w, h);
    // A negative corner lets the host centre the dialog; it then reads X2/Y2 as the size.
    const int x2 = x < 0 ? w : x + w - 1;
    const int y2 = y < 0 ? h : y + h - 1;
    const auto& startup = Startup();
    const far::HANDLE handle =
        CallHost(startup.DialogInit, far::INVALID_HANDLE_VALUE, startup.ModuleNumber, x, y, x2, y2,
                 ToHostString(HelpTopic_), Items_.empty() ? nullptr : Items_.data(),
                 static_cast<uint32_t>(Count_), 0, DialogFlags_, &TFarDialog::HostDialogProc,
                 reinterpret_cast<far::LONG_PTR>(this));
    if (handle == far::INVALID_HANDLE_VALUE || handle == nullptr) return false;
    Handle_ = handle;
    Register(this);
    return true;
}

void TFarDialog::ReleaseDialog() {
    if (!Active()) return;
    Unregister(this);
    const far::HANDLE handle = std::exchange(Handle_, far::INVALID_HANDLE_VALUE);
    CallHost(Startup().DialogFree, 0, handle);
}

bool TFarDialog::Execute(TButton*& button) {
    button = nullptr;
    if (!Active() && !BuildDialog())
        throw EFarDialogError(u"Failed to build dialog " + ClassName());
    const auto& startup = Startup();
    const int exitCode = CallHost(startup.DialogRun, -1, Handle_);
    if (PendingError_) {
        TFarScreen::RedrawAll();
        std::rethrow_exception(std::exchange(PendingError_, nullptr));
    }
    button = ControlAs<TButton>(exitCode);
    TFarScreen::RedrawAll();
    return button != nullptr;
}

far::LONG_PTR TFarDialog::SendMessage(int msg, int param1, far::LONG_PTR param2) {
    return CallHost(Startup().SendDlgMessage, 0, Handle_, msg, param1, param2);
}

// ---- Geometry and settings ------------------------------------------------------------

void TFarDialog::GetBounds(int& x, int& y, int& w, int& h) {
    x = X_;
    y = Y_;
    w = Width_;
    h = Height_;
    if (!Active()) return;
    far::SMALL_RECT rect{};
    if (SendMessage(far::DM_GETDLGRECT, 0, reinterpret_cast<far::LONG_PTR>(&rect)) != 0) {
        x = rect.Left;
        y = rect.Top;
        w = rect.Right - rect.Left + 1;
        h = rect.Bottom - rect.Top + 1;
    }
}

int TFarDialog::GetHeight() {
    int x, y, w, h;
    GetBounds(x, y, w, h);
    return h;
}

void TFarDialog::SetHeight(int h) {
    int x, y, w, oldHeight;
    GetBounds(x, y, w, oldHeight);
    SetSize(w, h);
}

void TFarDialog::SetSize(int w, int h) {
    if (w <= 0) throw EFarDialogError(Format(u"Invalid value for dialog width (%d)", {w}));
    if (h <= 0) throw EFarDialogError(Format(u"Invalid value for dialog height (%d)", {h}));
    Width_ = w;
    Height_ = h;
    if (Active()) {
        far::COORD size{static_cast<int16_t>(w), static_cast<int16_t>(h)};
        SendMessage(far::DM_RESIZEDIALOG, 0, reinterpret_cast<far::LONG_PTR>(&size));
    }
}

void TFarDialog::SetPosition(int x, int y) {
    X_ = x;
    Y_ = y;
    if (Active()) {
        far::COORD position{static_cast<int16_t>(x < 0 ? -1 : x),
                            static_cast<int16_t>(y < 0 ? -1 : y)};
        SendMessage(far::DM_MOVEDIALOG, 1, reinterpret_cast<far::LONG_PTR>(&position));
    }
}

void TFarDialog::SetDialogFlags(uint32_t flags) {
    RequireInactive(u"Can't change flags in an active dialog");
    DialogFlags_ = flags;
}

void TFarDialog::SetHelpTopic(StringView topic) {
    RequireInactive(u"Can't change help topic in an active dialog");
    HelpTopic_ = String(topic);
}

void TFarDialog::BeginUpdate() {
    if (Active()) SendMessage(far::DM_ENABLEREDRAW, 0, 0);
    ++UpdateCount_;
}

void TFarDialog::EndUpdate() {
    if (Active()) SendMessage(far::DM_ENABLEREDRAW, 1, 0);
    if (--UpdateCount_ <= 0) Redraw();
}

void TFarDialog::Redraw() {
    if (Active()) SendMessage(far::DM_REDRAW, 0, 0);
}

void TFarDialog::AdjustSize(int& w, int& h) {
    w -= 4;
    h -= 4;
}

void TFarDialog::GetClientRect(int& x, int& y, int& w, int& h) {
    GetBounds(x, y, w, h);
    x += 3;
    y += 1;
    w -= 6;
    h -= 2;
}

void TFarDialog::Columnize(const TColumnWidths& widths, const TControlList& controls, int left,
                           int top) {
    if (widths.size() < controls.size()) throw EFarError(u"Invalid TFarDialog.Columnize call");
    int column = left;
    for (size_t i = 0; i < controls.size(); ++i) {
        if (TControl* control = controls[i]) {
            control->SetLeft(column);
            control->SetWidth(widths[i] - 1);
            if (i > 0) control->SetTop(top);
        }
        column += widths[i];
    }
}

void TFarDialog::Columnize(const TColumnWidths& widths, const TControlList& controls, int left) {
    if (controls.empty() || controls[0] == nullptr)
        throw EFarError(u"Invalid TFarDialog.Columnize call");
    Columnize(widths, controls, left, controls[0]->GetTop());
}

// ---- Notifications --------------------------------------------------------------------

far::LONG_PTR TFarDialog::HostDialogProc(far::HANDLE handle, int32_t msg, int32_t param1,
                                         far::LONG_PTR param2) noexcept {
    // After a handler's error no handler runs again; the host closes the dialog unhindered.
    if (TFarDialog* dialog = FindActive(handle); dialog && !dialog->PendingError_) {
        far::LONG_PTR result = 0;
        try {
            if (dialog->DialogProc(msg, param1, param2, result)) return result;
        } catch (...) {
            // The error ends the operation that runs the dialog: kept here, raised again by
            // Execute once the host's DialogRun has returned, so nothing unwinds through the host.
            dialog->PendingError_ = std::current_exception();
            try {
                dialog->SendMessage(far::DM_CLOSE, -1, 0);
            } catch (...) {
            }
        }
    }
    try {
        return CallHost(Startup().DefDlgProc, 0, handle, msg, param1, param2);
    } catch (...) {
        return 0;  // no plugin object: nothing to answer with
    }
}

bool TFarDialog::DialogProc(int msg, int param1, far::LONG_PTR param2, far::LONG_PTR& result) {
    switch (msg) {
        case far::DN_KEY:
            return DoKey(param1, param2, result);
        case far::DN_BTNCLICK:
            return DoButtonClick(param1, param2, result);
        case far::DN_EDITCHANGE:
            return DoEditChange(param1, param2, result);
        case far::DN_GOTFOCUS:
            return DoGotFocus(param1, param2, result);
        case far::DN_INITDIALOG:
            return DoInitDialog(param1, param2, result);
        case far::DN_KILLFOCUS:
            return DoKillFocus(param1, param2, result);
        case far::DN_LISTCHANGE:
            return DoListChange(param1, param2, result);
        case far::DN_RESIZECONSOLE:
            return DoResizeConsole(param1, param2, result);
        default:
            return false;
    }
}

bool TFarDialog::DoInitDialog(int /*param1*/, far::LONG_PTR /*param2*/, far::LONG_PTR& /*result*/) {
    for (int k = 0; k < Count_; ++k) {
        if (Controls_[k]) Controls_[k]->InitControl();
    }
    return false;
}

bool TFarDialog::DoButtonClick(int param1, far::LONG_PTR param2, far::LONG_PTR& result) {
    if (auto* button = ControlAs<TButton>(param1)) {
        if (!button->OnClick) return false;
        return RunHandler([&] {
            bool handled = false;
            button->OnClick(*button, handled);
            result = handled ? 1 : 0;
            return true;
        });
    }
    if (auto* checkbox = ControlAs<TCheckbox>(param1)) {
        if (!checkbox->OnClick || param2 < 0 || param2 > 2) return false;
        return RunHandler([&] {
            bool allow = true;
            checkbox->OnClick(*checkbox, static_cast<int>(param2), allow);
            result = allow ? 1 : 0;
            return true;
        });
    }
    if (auto* radio = ControlAs<TRadioButton>(param1)) {
        auto& handler = param2 != 0 ? radio->OnSelect : radio->OnDeselect;
        if (!handler) return false;
        return RunHandler([&] {
            bool allow = true;
            handler(*radio, allow);
            result = allow ? 1 : 0;
            return true;
        });
    }
    return false;
}

bool TFarDialog::DoEditChange(int param1, far::LONG_PTR /*param2*/, far::LONG_PTR& result) {
    auto* edit = ControlAs<TCustomEdit>(param1);
    if (!edit) return false;
    return RunHandler([&] {
        result = edit->DoChange() ? 1 : 0;
        return true;
    });
}

bool TFarDialog::DoGotFocus(int param1, far::LONG_PTR /*param2*/, far::LONG_PTR& result) {
    auto* control = ControlAs<TControl>(param1);
    if (!control || !control->OnEnter) return false;
    return RunHandler([&] {
        control->OnEnter(*control);
        result = 0;
        return true;
    });
}

bool TFarDialog::DoKillFocus(int param1, far::LONG_PTR /*param2*/, far::LONG_PTR& result) {
    auto* control = ControlAs<TControl>(param1);
    if (!control || !control->OnExit) return false;
    return RunHandler([&] {
        TControl* next = nullptr;
        control->OnExit(*control, next);
        result = next ? next->GetIndex() : -1;
        return true;
    });
}

bool TFarDialog::DoListChange(int param1, far::LONG_PTR param2, far::LONG_PTR& result) {
    auto* list = ControlAs<TListbox>(param1);
    if (!list || !list->OnChange) return false;
    return RunHandler([&] {
        bool allow = true;
        list->OnChange(*list, param2, allow);
        result = allow ? 1 : 0;
        return true;
    });
}

bool TFarDialog::DoKey(int param1, far::LONG_PTR param2, far::LONG_PTR& result) {
    auto* control = ControlAs<TControl>(param1);
    if (!control || !control->OnKey) return false;
    return RunHandler([&] {
        const auto key = static_cast<uint32_t>(param2);
        bool handled = false;
        control->OnKey(*control, key & 0xFFFFFu, key & 0xFFF00000u, handled);
        result = handled ? 1 : 0;
        return handled;
    });
}

bool TFarDialog::DoResizeConsole(int /*param1*/, far::LONG_PTR param2, far::LONG_PTR& result) {
    if (param2 == 0) return false;
    const auto console = *reinterpret_cast<const far::COORD*>(param2);
    BeginUpdate();
    try {
        int w = console.X, h = console.Y;
        AdjustSize(w, h);
        SetSize(w, h);
        SetPosition(X_, Y_);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    result = 1;
    return true;
}

}  // namespace wm
