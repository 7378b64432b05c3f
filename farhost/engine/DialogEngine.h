// The stand-in host's dialogs: the live dialogs by handle, the user's queued actions, the
// prompt that supplies more, the edits' histories and the record of drawn screens.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "farhost/engine/HostDialog.h"

namespace farhost {

class DialogEngine final : private DialogEnvironment {
public:
    struct Console {
        std::function<far::COORD()> size;
        std::function<void(far::COORD)> resize;
    };
    using ErrorSink = std::function<void(const std::string&)>;
    // Shows an edit's history list and answers the chosen entry's index, or -1.
    using HistoryChooser = std::function<int(const HostDialog& dialog, int item,
                                             const std::vector<wm::String>& entries)>;

    DialogEngine(Console console, ErrorSink errors);
    ~DialogEngine();
    DialogEngine(const DialogEngine&) = delete;
    DialogEngine& operator=(const DialogEngine&) = delete;

    // The host functions. An unknown handle throws wm::Exception.
    far::HANDLE Init(int x1, int y1, int x2, int y2, far::HostText helpTopic,
                     const far::FarDialogItem* items, unsigned count, far::DWORD flags,
                     far::FARWINDOWPROC proc, far::LONG_PTR param);
    int Run(far::HANDLE handle);
    void Free(far::HANDLE handle);
    far::LONG_PTR Send(far::HANDLE handle, int msg, int param1, far::LONG_PTR param2);
    far::LONG_PTR Default(far::HANDLE handle, int msg, int param1, far::LONG_PTR param2);

    void Queue(DialogAction action) { actions_.push_back(std::move(action)); }
    size_t QueuedActions() const { return actions_.size(); }
    void SetPrompt(DialogPrompt prompt) { prompt_ = std::move(prompt); }
    void Refuse(bool refuse) { refuse_ = refuse; }
    // Without a chooser history lists do not open.
    void SetHistoryChooser(HistoryChooser chooser) { chooser_ = std::move(chooser); }

    // The live dialog behind a handle, or null.
    HostDialog* Find(far::HANDLE handle) const;
    int LiveCount() const { return static_cast<int>(dialogs_.size()); }
    std::vector<wm::String> Draw(const HostDialog& dialog) const;
    const std::vector<std::vector<wm::String>>& Screens() const { return screens_; }
    void ClearScreens() { screens_.clear(); }

private:
    HostDialog& Get(far::HANDLE handle) const;

    far::COORD ConsoleSize() const override { return console_.size(); }
    void ResizeConsole(far::COORD size) override { console_.resize(size); }
    std::optional<DialogAction> NextAction(const HostDialog& dialog) override;
    void ShowScreen(const HostDialog& dialog) override { screens_.push_back(Draw(dialog)); }
    void ReportError(const std::string& error) override { errors_(error); }
    std::vector<wm::String> History(const wm::String& name) const override;
    void AddToHistory(const wm::String& name, const wm::String& text) override;
    int ChooseFromHistory(const HostDialog& dialog, int item,
                          const std::vector<wm::String>& entries) override;

    Console console_;
    ErrorSink errors_;
    std::map<far::HANDLE, std::unique_ptr<HostDialog>> dialogs_;
    std::deque<DialogAction> actions_;
    DialogPrompt prompt_;
    bool refuse_ = false;
    HistoryChooser chooser_;
    std::map<wm::String, std::vector<wm::String>> histories_;
    std::vector<std::vector<wm::String>> screens_;
};

}  // namespace farhost
