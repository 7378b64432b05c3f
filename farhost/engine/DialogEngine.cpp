#include "farhost/engine/DialogEngine.h"

#include <algorithm>

#include "core/Exceptions.h"
#include "farhost/engine/DialogScreen.h"

namespace farhost {

DialogEngine::DialogEngine(Console console, ErrorSink errors)
    : console_(std::move(console)), errors_(std::move(errors)) {}

DialogEngine::~DialogEngine() = default;

far::HANDLE DialogEngine::Init(int x1, int y1, int x2, int y2, far::HostText helpTopic,
                               const far::FarDialogItem* items, unsigned count, far::DWORD flags,
                               far::FARWINDOWPROC proc, far::LONG_PTR param) {
    // The host refuses a dialog without items.
    if (refuse_ || items == nullptr || count == 0) return far::INVALID_HANDLE_VALUE;
    DialogEnvironment& environment = *this;
    auto dialog = std::make_unique<HostDialog>(environment, x1, y1, x2, y2, helpTopic, items, count,
                                               flags, proc, param);
    const far::HANDLE handle = dialog->Handle();
    dialogs_.emplace(handle, std::move(dialog));
    return handle;
}

HostDialog& DialogEngine::Get(far::HANDLE handle) const {
    const auto found = dialogs_.find(handle);
    if (found == dialogs_.end()) throw wm::Exception(u"no such dialog");
    return *found->second;
}

HostDialog* DialogEngine::Find(far::HANDLE handle) const {
    const auto found = dialogs_.find(handle);
    return found == dialogs_.end() ? nullptr : found->second.get();
}

int DialogEngine::Run(far::HANDLE handle) {
    return Get(handle).Run();
}

void DialogEngine::Free(far::HANDLE handle) {
    if (Get(handle).Running()) throw wm::Exception(u"the dialog is running");
    dialogs_.erase(handle);
}

far::LONG_PTR DialogEngine::Send(far::HANDLE handle, int msg, int param1, far::LONG_PTR param2) {
    return Get(handle).Message(msg, param1, param2);
}

far::LONG_PTR DialogEngine::Default(far::HANDLE handle, int msg, int param1, far::LONG_PTR param2) {
    return Get(handle).Default(msg, param1, param2);
}

std::vector<wm::String> DialogEngine::Draw(const HostDialog& dialog) const {
    return DrawDialog(dialog, console_.size());
}

std::optional<DialogAction> DialogEngine::NextAction(const HostDialog& dialog) {
    if (!actions_.empty()) {
        DialogAction action = std::move(actions_.front());
        actions_.pop_front();
        return action;
    }
    if (prompt_) return prompt_(dialog);
    return std::nullopt;
}

std::vector<wm::String> DialogEngine::History(const wm::String& name) const {
    const auto found = histories_.find(name);
    return found == histories_.end() ? std::vector<wm::String>{} : found->second;
}

void DialogEngine::AddToHistory(const wm::String& name, const wm::String& text) {
    // An entry entered again moves to the end; the oldest go beyond the limit.
    constexpr size_t kLimit = 64;
    auto& entries = histories_[name];
    entries.erase(std::remove(entries.begin(), entries.end(), text), entries.end());
    entries.push_back(text);
    if (entries.size() > kLimit) entries.erase(entries.begin());
}

int DialogEngine::ChooseFromHistory(const HostDialog& dialog, int item,
                                    const std::vector<wm::String>& entries) {
    return chooser_ ? chooser_(dialog, item, entries) : -1;
}

}  // namespace farhost
