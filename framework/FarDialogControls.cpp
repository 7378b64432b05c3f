#include "framework/FarDialogControls.h"

#include <climits>
#include <thread>

#include "platform/Event.h"
#include "platform/Thread.h"

namespace wm {
namespace {

far::SMALL_RECT ToRect(const far::FarDialogItem& item) {
    return far::SMALL_RECT{static_cast<int16_t>(item.X1), static_cast<int16_t>(item.Y1),
                           static_cast<int16_t>(item.X2), static_cast<int16_t>(item.Y2)};
}

}  // namespace

// ---- TControl -------------------------------------------------------------------------

TFarDialog::TControl::TControl(TConstruction, TFarDialog& dialog, int itemType)
    : Dialog_(&dialog), Index_(dialog.AddControl(itemType)) {}

TFarDialog::TControl::~TControl() {
    // The host copies of the texts go with their members, after the record forgets them.
    Dialog_->DetachControl(Index_);
    Dialog_ = nullptr;
}

TFarDialog::TControl::THostString TFarDialog::TControl::CopyForHost(StringView text) {
    return THostString(text.empty() ? nullptr : NewHostString(text));
}

far::FarDialogItem& TFarDialog::TControl::GetItem() const {
    return Dialog_->Record(Index_);
}

far::LONG_PTR TFarDialog::TControl::Send(int msg, far::LONG_PTR param2) const {
    return Dialog_->SendMessage(msg, Index_, param2);
}

int TFarDialog::TControl::GetAutoWidth() {
    return GetWidth();
}
int TFarDialog::TControl::GetMaxHeight() const {
    return 1;
}
void TFarDialog::TControl::InitControl() {}

bool TFarDialog::TControl::UpdateLiveItem(const std::function<void(far::FarDialogItem&)>& action,
                                          bool writeBack) const {
    if (!Live()) return false;
    const far::LONG_PTR size = Send(far::DM_GETDLGITEM, 0);
    // Anything shorter than the record itself cannot be read as one.
    if (size < static_cast<far::LONG_PTR>(sizeof(far::FarDialogItem))) return false;
    // Whole records, so the block is aligned for one.
    std::vector<far::FarDialogItem> buffer(
        (static_cast<size_t>(size) + sizeof(far::FarDialogItem) - 1) / sizeof(far::FarDialogItem));
    far::FarDialogItem& item = buffer.front();
    if (Send(far::DM_GETDLGITEM, reinterpret_cast<far::LONG_PTR>(&item)) == 0) return false;
    const int recordType = GetItem().Type;
    if (item.Type != recordType) throw EFarDialogError(u"Control type mismatch");
    action(item);
    if (!writeBack) return true;
    if (item.Type != recordType) throw EFarDialogError(u"Can't modify control type");
    return Send(far::DM_SETDLGITEM, reinterpret_cast<far::LONG_PTR>(&item)) != 0;
}

void TFarDialog::TControl::GetBounds(int& x, int& y, int& w, int& h) const {
    const far::FarDialogItem& item = GetItem();
    x = item.X1;
    y = item.Y1;
    w = item.X2 - item.X1 + 1;
    h = item.Y2 - item.Y1 + 1;
    if (!Live()) return;
    far::SMALL_RECT rect{};
    if (Send(far::DM_GETITEMPOSITION, reinterpret_cast<far::LONG_PTR>(&rect)) != 0) {
        x = rect.Left;
        y = rect.Top;
        w = rect.Right - rect.Left + 1;
        h = rect.Bottom - rect.Top + 1;
    }
}

void TFarDialog::TControl::SetBounds(int x, int y, int w, int h) {
    const int maxHeight = GetMaxHeight();
    if (maxHeight > 0 && maxHeight < h) h = maxHeight;
    far::FarDialogItem& item = GetItem();
    item.X1 = x;
    item.Y1 = y;
    item.X2 = w < 1 ? 0 : x + w - 1;
    item.Y2 = h < 1 ? 0 : y + h - 1;
    if (Live()) {
        far::SMALL_RECT rect = ToRect(item);
        Send(far::DM_SETITEMPOSITION, reinterpret_cast<far::LONG_PTR>(&rect));
    }
}

int TFarDialog::TControl::GetLeft() const {
    int x, y, w, h;
    GetBounds(x, y, w, h);
    return x;
}

int TFarDialog::TControl::GetTop() const {
    int x, y, w, h;
    GetBounds(x, y, w, h);
    return y;
}

int TFarDialog::TControl::GetWidth() const {
    int x, y, w, h;
    GetBounds(x, y, w, h);
    return w;
}

int TFarDialog::TControl::GetHeight() const {
    int x, y, w, h;
    GetBounds(x, y, w, h);
    return h;
}

void TFarDialog::TControl::SetLeft(int value) {
    int x, y, w, h;
    GetBounds(x, y, w, h);
    SetBounds(value, y, w, h);
}

void TFarDialog::TControl::SetTop(int value) {
    int x, y, w, h;
    GetBounds(x, y, w, h);
    SetBounds(x, value, w, h);
}

void TFarDialog::TControl::SetWidth(int value) {
    int x, y, w, h;
    GetBounds(x, y, w, h);
    SetBounds(x, y, value, h);
}

void TFarDialog::TControl::SetHeight(int value) {
    int x, y, w, h;
    GetBounds(x, y, w, h);
    SetBounds(x, y, w, value);
}

String TFarDialog::TControl::GetText() const {
    if (!Live()) return FromHostString(GetItem().PtrData);
    const far::LONG_PTR length = Send(far::DM_GETTEXTLENGTH, 0);
    if (length <= 0) return {};
    // One more for the terminator the host writes after the text.
    String text(static_cast<size_t>(length) + 1, u'\0');
    far::FarDialogItemData data{static_cast<size_t>(length),
                                reinterpret_cast<far::HostChar*>(text.data())};
    Send(far::DM_GETTEXT, reinterpret_cast<far::LONG_PTR>(&data));
    text.resize(std::char_traits<char16_t>::length(text.c_str()));
    return text;
}

void TFarDialog::TControl::SetText(StringView text) {
    THostString copy = CopyForHost(text);
    GetItem().PtrData = copy.get();
    Text_ = std::move(copy);
    if (Live()) {
        far::FarDialogItemData data{text.size(), Text_.get()};
        Send(far::DM_SETTEXT, reinterpret_cast<far::LONG_PTR>(&data));
    }
}

uint32_t TFarDialog::TControl::GetFlags() const {
    uint32_t flags = GetItem().Flags;
    UpdateLiveItem([&](far::FarDialogItem& item) { flags = item.Flags; }, false);
    return flags;
}

void TFarDialog::TControl::SetFlags(uint32_t flags) {
    GetItem().Flags = flags;
    UpdateLiveItem([&](far::FarDialogItem& item) { item.Flags = flags; }, true);
}

void TFarDialog::TControl::ChangeFlag(uint32_t flag, bool set) {
    const uint32_t flags = GetFlags();
    SetFlags(set ? flags | flag : flags & ~flag);
}

bool TFarDialog::TControl::GetChecked() const {
    if (Live()) return Send(far::DM_GETCHECK, 0) != 0;
    return GetItem().Param.Selected != 0;
}

void TFarDialog::TControl::SetChecked(bool checked) {
    GetItem().Param.Selected = checked ? 1 : 0;
    if (Live()) Send(far::DM_SETCHECK, checked ? far::BSTATE_CHECKED : far::BSTATE_UNCHECKED);
}

bool TFarDialog::TControl::GetEnabled() const {
    if (Live()) return Send(far::DM_ENABLE, -1) != 0;
    return (GetFlags() & far::DIF_DISABLE) == 0;
}

void TFarDialog::TControl::SetEnabled(bool enabled) {
    ChangeFlag(far::DIF_DISABLE, !enabled);
    if (Live()) Send(far::DM_ENABLE, enabled ? 1 : 0);
}

bool TFarDialog::TControl::GetVisible() const {
    if (Live()) return Send(far::DM_SHOWITEM, -1) != 0;
    return (GetFlags() & far::DIF_HIDDEN) == 0;
}

void TFarDialog::TControl::SetVisible(bool visible) {
    ChangeFlag(far::DIF_HIDDEN, !visible);
    if (Live()) Send(far::DM_SHOWITEM, visible ? 1 : 0);
}

void TFarDialog::TControl::SetDefault(bool value) {
    GetItem().DefaultButton = value ? 1 : 0;
    UpdateLiveItem([&](far::FarDialogItem& item) { item.DefaultButton = value ? 1 : 0; }, true);
}

bool TFarDialog::TControl::GetShowAmpersand() const {
    return (GetFlags() & far::DIF_SHOWAMPERSAND) != 0;
}

void TFarDialog::TControl::SetShowAmpersand(bool value) {
    ChangeFlag(far::DIF_SHOWAMPERSAND, value);
}

// ---- Label-like controls --------------------------------------------------------------

TFarDialog::TLabelLikeControl::TLabelLikeControl(TConstruction key, TFarDialog& dialog,
                                                 int itemType, int x, int y, int w, int h,
                                                 StringView text)
    : TControl(key, dialog, itemType) {
    SetBounds(x, y, w, h);
    SetText(text);
    SetAlignment(0);
    SetShowAmpersand(false);
}

int TFarDialog::TLabelLikeControl::GetAutoWidth() {
    const String text = GetText();
    int width = static_cast<int>(text.size());
    // The host shows '&' only with DIF_SHOWAMPERSAND; otherwise it marks the hot key.
    if (text.find(u'&') != String::npos && !GetShowAmpersand()) --width;
    return width;
}

void TFarDialog::TLabelLikeControl::SetAlignment(int alignment) {
    uint32_t flags = GetFlags() & ~(far::DIF_LEFTTEXT | far::DIF_CENTERTEXT);
    switch (alignment) {
        case 0:
        case 2:
            flags |= far::DIF_CENTERTEXT;
            break;
        case 1:
            flags |= far::DIF_LEFTTEXT;
            break;
        default:
            return;
    }
    SetFlags(flags);
}

TFarDialog::TLabel::TLabel(TConstruction key, TFarDialog& dialog, int x, int y, int w,
                           StringView text, int alignment)
    : TLabelLikeControl(key, dialog, far::DI_TEXT, x, y, w, 1, text) {
    SetAlignment(alignment);
}

TFarDialog::TSeparator::TSeparator(TConstruction key, TFarDialog& dialog, int y)
    : TLabel(key, dialog, 0, y, 0, u"", 1) {
    ChangeFlag(far::DIF_SEPARATOR, true);
}

TFarDialog::TDoubleBox::TDoubleBox(TConstruction key, TFarDialog& dialog, int x, int y, int w,
                                   int h, StringView title)
    : TLabelLikeControl(key, dialog, far::DI_DOUBLEBOX, x, y, w, h, title) {
    // The base constructor placed it under the one-row rule of labels.
    SetBounds(x, y, w, h);
}

int TFarDialog::TDoubleBox::GetMaxHeight() const {
    return INT_MAX;
}

// ---- Button-like controls -------------------------------------------------------------

TFarDialog::TButtonLikeControl::TButtonLikeControl(TConstruction key, TFarDialog& dialog,
                                                   int itemType, int x, int y, StringView text)
    : TControl(key, dialog, itemType) {
    SetBounds(x, y, 0, 1);
    SetText(text);
    SetCenterGroup(false);
    SetShowAmpersand(false);
}

int TFarDialog::TButtonLikeControl::GetAutoWidth() {
    return static_cast<int>(GetText().size()) + 4;
}

void TFarDialog::TButtonLikeControl::SetCenterGroup(bool value) {
    ChangeFlag(far::DIF_CENTERGROUP, value);
}

TFarDialog::TButton::TButton(TConstruction key, TFarDialog& dialog, int x, int y, StringView text)
    : TButtonLikeControl(key, dialog, far::DI_BUTTON, x, y, text) {
    SetNoClose(false);
    SetCenterGroup(true);
}

void TFarDialog::TButton::SetNoClose(bool value) {
    ChangeFlag(far::DIF_BTNNOCLOSE, value);
}

TFarDialog::TCheckbox::TCheckbox(TConstruction key, TFarDialog& dialog, int x, int y,
                                 StringView text, bool checked)
    : TButtonLikeControl(key, dialog, far::DI_CHECKBOX, x, y, text) {
    SetChecked(checked);
}

TFarDialog::TRadioButton::TRadioButton(TConstruction key, TFarDialog& dialog, int x, int y,
                                       StringView text)
    : TButtonLikeControl(key, dialog, far::DI_RADIOBUTTON, x, y, text) {}

// ---- Edits ----------------------------------------------------------------------------

// Waits for changes and calls the edit's handler once the text has been quiet for the edit's
// change delay. Terminating wakes it; its owner then joins it.
class TFarDialog::TCustomEdit::TDelayedChangeThread {
public:
    explicit TDelayedChangeThread(TCustomEdit& edit)
        : Edit_(edit), Thread_([this] { Execute(); }) {}

    ~TDelayedChangeThread() {
        Terminate();
        Thread_.Join();
    }

    void Changed() { Event_.Signal(); }

    void Terminate() {
        Terminated_.store(true);
        Event_.Signal();
    }

private:
    void Execute() {
        using platform::WaitResult;
        while (!Terminated_.load()) {
            if (Event_.Wait() != WaitResult::Signalled || Terminated_.load()) return;
            Event_.Reset();
            // Every further change restarts the quiet period.
            WaitResult wait = WaitResult::TimedOut;
            for (uint32_t delay; (delay = Edit_.GetChangeDelay()) > 0;) {
                wait = Event_.WaitFor(delay);
                Event_.Reset();
                if (wait != WaitResult::Signalled || Terminated_.load()) break;
            }
            if (Terminated_.load() || wait != WaitResult::TimedOut) return;
            Edit_.NotifyDelayedChange();
        }
    }

    TCustomEdit& Edit_;
    std::atomic<bool> Terminated_{false};
    platform::ManualResetEvent Event_;
    // Last: it starts once everything it uses exists, and is joined before that goes.
    platform::Thread Thread_;
};

namespace {
enum ChangeThreadState : int { kNoThread = 0, kCreatingThread = 1, kThreadReady = 2 };
}  // namespace

TFarDialog::TCustomEdit::TCustomEdit(TConstruction key, TFarDialog& dialog, int itemType, int x,
                                     int y, int w, StringView text)
    : TControl(key, dialog, itemType) {
    SetBounds(x, y, w, 1);
    SetText(text);
    ChangeFlag(far::DIF_EDITOR, false);
    ChangeFlag(far::DIF_READONLY, false);
}

TFarDialog::TCustomEdit::~TCustomEdit() {
    StopChangeThread();
}

void TFarDialog::TCustomEdit::InitControl() {
    if (!Unchanged_) Send(far::DM_EDITUNCHANGEDFLAG, 0);
}

void TFarDialog::TCustomEdit::SetParameterText(THostString& slot, StringView text, uint32_t flag) {
    THostString copy = CopyForHost(text);
    const auto apply = [flag, value = copy.get()](far::FarDialogItem& item) {
        item.Flags = value ? item.Flags | flag : item.Flags & ~flag;
        item.Param.History = value;  // the mask shares this member of the union
    };
    apply(GetItem());
    slot = std::move(copy);
    UpdateLiveItem(apply, true);
}

void TFarDialog::TCustomEdit::SetHistory(StringView name) {
    SetParameterText(History_, name, far::DIF_HISTORY);
}

void TFarDialog::TCustomEdit::SetMask(StringView mask) {
    SetParameterText(Mask_, mask, far::DIF_MASKEDIT);
}

void TFarDialog::TCustomEdit::SetUnchanged(bool value) {
    Unchanged_ = value;
    if (Live()) Send(far::DM_EDITUNCHANGEDFLAG, value ? 1 : 0);
}

void TFarDialog::TCustomEdit::SetOnChange(TChangeHandler handler) {
    platform::LockGuard guard(HandlerLock_);
    OnChange_ = std::move(handler);
}

TFarDialog::TCustomEdit::TChangeHandler TFarDialog::TCustomEdit::GetOnChange() const {
    platform::LockGuard guard(HandlerLock_);
    return OnChange_;
}

bool TFarDialog::TCustomEdit::DoChange() {
    if (GetChangeDelay() > 0) {
        ChangeThread().Changed();
        return true;
    }
    bool allow = true;
    if (const TChangeHandler handler = GetOnChange()) handler(*this, allow);
    return allow;
}

void TFarDialog::TCustomEdit::NotifyDelayedChange() noexcept {
    // Nothing may leave the worker, and the host's message boxes belong to its main thread:
    // a failure goes to the log.
    try {
        try {
            bool allow = true;
            if (const TChangeHandler handler = GetOnChange()) handler(*this, allow);
        } catch (const EAbort&) {
        } catch (const Exception& error) {
            LogFmt(u"%s: Exception %s: %s", {u"OnChange", error.ClassName(), error.Message()});
        } catch (const std::exception& error) {
            LogFmt(u"%s: Exception %s: %s", {u"OnChange", u"Exception", FromUtf8(error.what())});
        }
    } catch (...) {
    }
}

TFarDialog::TCustomEdit::TDelayedChangeThread& TFarDialog::TCustomEdit::ChangeThread() {
    int state = kNoThread;
    if (ChangeThreadState_.compare_exchange_strong(state, kCreatingThread)) {
        try {
            ChangeThread_ = std::make_unique<TDelayedChangeThread>(*this);
        } catch (...) {
            ChangeThreadState_.store(kNoThread);
            throw;
        }
        ChangeThreadState_.store(kThreadReady);
        return *ChangeThread_;
    }
    while (state == kCreatingThread) {
        std::this_thread::yield();
        state = ChangeThreadState_.load();
    }
    if (state != kThreadReady) return ChangeThread();  // it went away meanwhile
    return *ChangeThread_;
}

void TFarDialog::TCustomEdit::StopChangeThread() noexcept {
    int state = ChangeThreadState_.load();
    while (state == kCreatingThread) {
        std::this_thread::yield();
        state = ChangeThreadState_.load();
    }
    if (state != kThreadReady) return;
    std::unique_ptr<TDelayedChangeThread> thread = std::move(ChangeThread_);
    ChangeThreadState_.store(kNoThread);
    thread.reset();  // terminates, wakes and joins the worker
}

TFarDialog::TEdit::TEdit(TConstruction key, TFarDialog& dialog, int x, int y, int w,
                         StringView text)
    : TCustomEdit(key, dialog, far::DI_EDIT, x, y, w, text) {}

// ---- List boxes -----------------------------------------------------------------------

TFarDialog::TListbox::TListbox(TConstruction key, TFarDialog& dialog, int x, int y, int w, int h)
    : TControl(key, dialog, far::DI_LISTBOX) {
    SetBounds(x, y, w, h);
}

int TFarDialog::TListbox::GetMaxHeight() const {
    return INT_MAX;
}

}  // namespace wm
