#include "farhost/engine/Host.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <utility>

#include "core/Exceptions.h"
#include "farhost/engine/DialogEngine.h"
#include "farhost/engine/HostRules.h"
#include "farhost/engine/TruncPath.h"
#include "host/FarKeysW.h"
#include "platform/DynamicLibrary.h"

namespace farhost {
namespace {

std::atomic<Host*> g_current{nullptr};

template <class Number>
std::string Dec(Number value) {
    return std::to_string(value);
}

std::string Dec(far::HANDLE handle) {
    return std::to_string(reinterpret_cast<intptr_t>(handle));
}

const char16_t* Chars(far::HostText text) {
    return reinterpret_cast<const char16_t*>(text);
}

wm::String Text(far::HostText text) {
    return text ? wm::String(Chars(text)) : wm::String();
}

std::string Utf8(far::HostText text) {
    return text ? wm::ToUtf8(Chars(text)) : std::string();
}

far::HostText ToHost(const wm::String& text) {
    return reinterpret_cast<far::HostText>(text.c_str());
}

// The console rectangle of a console of `size` cells.
far::SMALL_RECT WholeConsole(far::COORD size) {
    return far::SMALL_RECT{0, 0, static_cast<int16_t>(size.X - 1),
                           static_cast<int16_t>(size.Y - 1)};
}

std::optional<int> Next(std::deque<int>& answers) {
    if (answers.empty()) return std::nullopt;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace

// The functions the plugin receives in its startup record and standard-function table, grouped
// by what they serve.
struct HostFunctions {
    // Runs a host function's body for the current Host. Nothing may escape into the plugin: an
    // exception is recorded and the function answers `failure`, as it does with no Host alive.
    template <class Result, class Body>
    static Result Run(const char* function, Result failure, Body&& body) noexcept {
        Host* host = g_current.load();
        if (!host) return failure;
        try {
            return body(*host);
        } catch (const std::exception& error) {
            host->RecordError(function, error.what());
        } catch (...) {
            host->RecordError(function, "unknown exception");
        }
        return failure;
    }

    // A slot the plugin is not expected to use: the call is only recorded, under the slot's name.
    static void Unused(const char* name) noexcept {
        Run(name, 0, [&](Host& host) {
            host.Record(name, {});
            return 0;
        });
    }

    struct Messages;
    struct Panels;
    struct Dialogs;
    struct Standard;

    static void FillStandardTable(far::FarStandardFunctions& fsf);
    static void FillStartupTable(far::PluginStartupInfo& info);
};

// Menus, messages and the language file's texts.
struct HostFunctions::Messages {
    static int32_t Menu(far::INT_PTR pluginNumber, int32_t x, int32_t y, int32_t maxHeight,
                        far::DWORD flags, far::HostText title, far::HostText bottom,
                        far::HostText helpTopic, const int32_t* /*breakKeys*/, int32_t* breakCode,
                        const far::FarMenuItem* item, int32_t itemsNumber) {
        return Run("Menu", -1, [&](Host& host) {
            host.Record("Menu", {Dec(pluginNumber), Dec(x), Dec(y), Dec(maxHeight), Dec(flags),
                                 Utf8(title), Utf8(bottom), Utf8(helpTopic), Dec(itemsNumber)});
            if (breakCode) *breakCode = -1;
            MenuCall call;
            call.x = x;
            call.y = y;
            call.maxHeight = maxHeight;
            call.flags = flags;
            call.title = Text(title);
            call.bottom = Text(bottom);
            call.helpTopic = Text(helpTopic);
            for (int32_t i = 0; item && i < itemsNumber; ++i) {
                call.items.push_back({Text(item[i].Text), item[i].Separator != 0,
                                      item[i].Selected != 0, item[i].Checked != 0});
            }
            return host.ShowMenu(std::move(call));
        });
    }

    static int32_t Message(far::INT_PTR pluginNumber, far::DWORD flags, far::HostText helpTopic,
                           far::HostText const* items, int32_t itemsNumber, int32_t buttonsNumber) {
        return Run("Message", -1, [&](Host& host) {
            host.Record("Message", {Dec(pluginNumber), Dec(flags), Utf8(helpTopic),
                                    Dec(itemsNumber), Dec(buttonsNumber)});
            MessageCall call;
            call.flags = flags;
            call.helpTopic = Text(helpTopic);
            call.buttons = buttonsNumber;
            for (int32_t i = 0; items && i < itemsNumber; ++i) call.lines.push_back(Text(items[i]));
            const auto queued = Next(host.messageAnswers_);
            call.answer = host.user_ ? host.user_->OnMessage(call, queued) : queued.value_or(-1);
            host.messages_.push_back(std::move(call));
            return host.messages_.back().answer;
        });
    }

    static far::HostText GetMsg(far::INT_PTR pluginNumber, int32_t msgId) {
        return Run("GetMsg", far::HostText{}, [&](Host& host) -> far::HostText {
            host.Record("GetMsg", {Dec(pluginNumber), Dec(msgId)});
            if (!host.language_ || msgId < 0) return nullptr;
            const auto& messages = host.language_->Messages();
            if (static_cast<size_t>(msgId) >= messages.size()) return nullptr;
            return ToHost(messages[static_cast<size_t>(msgId)]);
        });
    }
};

// The panels, the saved screens and the console.
struct HostFunctions::Panels {
    // Control's arguments as recorded: Param2 as text where it is one, left out where it points
    // at a record or buffer.
    static std::vector<std::string> ControlArguments(far::HANDLE hPlugin, int32_t command,
                                                     int32_t param1, far::LONG_PTR param2) {
        std::vector<std::string> arguments{Dec(hPlugin), Dec(command), Dec(param1)};
        switch (command) {
            case far::FCTL_SETPANELDIR:
            case far::FCTL_CLOSEPLUGIN:
                arguments.push_back(Utf8(reinterpret_cast<far::HostText>(param2)));
                break;
            case far::FCTL_GETPANELINFO:
            case far::FCTL_REDRAWPANEL:
            case far::FCTL_GETPANELITEM:
            case far::FCTL_GETSELECTEDPANELITEM:
            case far::FCTL_GETPANELDIR:
                break;
            default:
                arguments.push_back(Dec(param2));
        }
        return arguments;
    }

    static int32_t Control(far::HANDLE hPlugin, int32_t command, int32_t param1,
                           far::LONG_PTR param2) {
        return Run("Control", 0, [&](Host& host) {
            host.Record("Control", ControlArguments(hPlugin, command, param1, param2));
            const int32_t result = host.PanelControl(hPlugin, command, param1, param2);
            if (command == far::FCTL_SETPANELDIR && result == 0 && param2 != 0) {
                host.ShowPathNotFound(reinterpret_cast<far::HostText>(param2));
            }
            return result;
        });
    }

    static far::HANDLE SaveScreen(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        return Run("SaveScreen", far::HANDLE{}, [&](Host& host) {
            host.Record("SaveScreen", {Dec(x1), Dec(y1), Dec(x2), Dec(y2)});
            return reinterpret_cast<far::HANDLE>(++host.lastScreen_);
        });
    }

    static void RestoreScreen(far::HANDLE hScreen) {
        Run("RestoreScreen", 0, [&](Host& host) {
            host.Record("RestoreScreen", {Dec(hScreen)});
            return 0;
        });
    }

    static far::INT_PTR AdvControl(far::INT_PTR moduleNumber, int32_t command, void* param) {
        return Run("AdvControl", far::INT_PTR{0}, [&](Host& host) -> far::INT_PTR {
            host.Record("AdvControl", {Dec(moduleNumber), Dec(command)});
            switch (command) {
                case far::ACTL_GETFARRECT:
                    if (!host.options_.consoleRect || !param) return 0;
                    *static_cast<far::SMALL_RECT*>(param) = *host.options_.consoleRect;
                    return 1;
                case far::ACTL_REDRAWALL:
                    for (size_t side = 0; side < 2; ++side) {
                        if (const auto panel = host.PluginPanelOn(side)) panel->Redraw();
                    }
                    return 1;
                default:
                    return 0;
            }
        });
    }
};

// Dialogs, handed to the dialog engine.
struct HostFunctions::Dialogs {
    static far::HANDLE DialogInit(far::INT_PTR pluginNumber, int32_t x1, int32_t y1, int32_t x2,
                                  int32_t y2, far::HostText helpTopic, far::FarDialogItem* item,
                                  uint32_t itemsNumber, far::DWORD reserved, far::DWORD flags,
                                  far::FARWINDOWPROC dlgProc, far::LONG_PTR param) {
        return Run("DialogInit", far::INVALID_HANDLE_VALUE, [&](Host& host) -> far::HANDLE {
            host.Record("DialogInit",
                        {Dec(pluginNumber), Dec(x1), Dec(y1), Dec(x2), Dec(y2), Utf8(helpTopic),
                         Dec(itemsNumber), Dec(reserved), Dec(flags), Dec(param)});
            return host.dialogs_->Init(x1, y1, x2, y2, helpTopic, item, itemsNumber, flags, dlgProc,
                                       param);
        });
    }

    static int32_t DialogRun(far::HANDLE hDlg) {
        return Run("DialogRun", -1, [&](Host& host) {
            host.Record("DialogRun", {Dec(hDlg)});
            return host.dialogs_->Run(hDlg);
        });
    }

    static void DialogFree(far::HANDLE hDlg) {
        Run("DialogFree", 0, [&](Host& host) {
            host.Record("DialogFree", {Dec(hDlg)});
            host.dialogs_->Free(hDlg);
            return 0;
        });
    }

    static far::LONG_PTR SendDlgMessage(far::HANDLE hDlg, int32_t msg, int32_t param1,
                                        far::LONG_PTR param2) {
        return Run("SendDlgMessage", far::LONG_PTR{0}, [&](Host& host) {
            host.Record("SendDlgMessage", {Dec(hDlg), Dec(msg), Dec(param1), Dec(param2)});
            return host.dialogs_->Send(hDlg, msg, param1, param2);
        });
    }

    static far::LONG_PTR DefDlgProc(far::HANDLE hDlg, int32_t msg, int32_t param1,
                                    far::LONG_PTR param2) {
        return Run("DefDlgProc", far::LONG_PTR{0}, [&](Host& host) {
            host.Record("DefDlgProc", {Dec(hDlg), Dec(msg), Dec(param1), Dec(param2)});
            return host.dialogs_->Default(hDlg, msg, param1, param2);
        });
    }
};

// The standard functions farhost implements.
struct HostFunctions::Standard {
    static far::HostChar* TruncPathStr(far::HostChar* str, int32_t maxLength) {
        return Run("TruncPathStr", str, [&](Host& host) {
            host.Record("TruncPathStr", {Utf8(str), Dec(maxLength)});
            if (!str) return str;
            const wm::String result = TruncPath(Chars(str), maxLength);
            std::copy(result.begin(), result.end(), str);
            str[result.size()] = 0;
            return str;
        });
    }
};

Host::Host() : Host(Options{}) {}

Host::Host(Options options)
    : options_(std::move(options)),
      panels_(options_.panelDirectory.empty() ? std::filesystem::current_path().u16string()
                                              : options_.panelDirectory) {
    FillTables();
    dialogs_ = std::make_unique<DialogEngine>(
        DialogEngine::Console{
            [this] { return ConsoleSize(); },
            [this](far::COORD size) { options_.consoleRect = WholeConsole(size); }},
        [this](const std::string& error) { errors_.push_back(error); });
    dialogs_->SetHistoryChooser(
        [this](const HostDialog& dialog, int item, const std::vector<wm::String>& entries) {
            return ShowHistory(dialog, item, entries);
        });
    Host* expected = nullptr;
    if (!g_current.compare_exchange_strong(expected, this))
        throw wm::Exception(u"Another farhost::Host is alive: only one may exist at a time");
}

Host::~Host() {
    ClosePluginPanels();
    library_.reset();
    Host* self = this;
    g_current.compare_exchange_strong(self, nullptr);
}

Host* Host::Current() {
    return g_current.load();
}

#define FARHOST_UNUSED_SLOT(table, slot) table.slot = [] { HostFunctions::Unused(#slot); }

void HostFunctions::FillStandardTable(far::FarStandardFunctions& fsf) {
    fsf.TruncPathStr = &Standard::TruncPathStr;
    FARHOST_UNUSED_SLOT(fsf, atoi);
    FARHOST_UNUSED_SLOT(fsf, atoi64);
    FARHOST_UNUSED_SLOT(fsf, itoa);
    FARHOST_UNUSED_SLOT(fsf, itoa64);
    FARHOST_UNUSED_SLOT(fsf, sprintf);
    FARHOST_UNUSED_SLOT(fsf, sscanf);
    FARHOST_UNUSED_SLOT(fsf, qsort);
    FARHOST_UNUSED_SLOT(fsf, bsearch);
    FARHOST_UNUSED_SLOT(fsf, qsortex);
    FARHOST_UNUSED_SLOT(fsf, snprintf);
    FARHOST_UNUSED_SLOT(fsf, LIsLower);
    FARHOST_UNUSED_SLOT(fsf, LIsUpper);
    FARHOST_UNUSED_SLOT(fsf, LIsAlpha);
    FARHOST_UNUSED_SLOT(fsf, LIsAlphanum);
    FARHOST_UNUSED_SLOT(fsf, LUpper);
    FARHOST_UNUSED_SLOT(fsf, LLower);
    FARHOST_UNUSED_SLOT(fsf, LUpperBuf);
    FARHOST_UNUSED_SLOT(fsf, LLowerBuf);
    FARHOST_UNUSED_SLOT(fsf, LStrupr);
    FARHOST_UNUSED_SLOT(fsf, LStrlwr);
    FARHOST_UNUSED_SLOT(fsf, LStricmp);
    FARHOST_UNUSED_SLOT(fsf, LStrnicmp);
    FARHOST_UNUSED_SLOT(fsf, Unquote);
    FARHOST_UNUSED_SLOT(fsf, LTrim);
    FARHOST_UNUSED_SLOT(fsf, RTrim);
    FARHOST_UNUSED_SLOT(fsf, Trim);
    FARHOST_UNUSED_SLOT(fsf, TruncStr);
    FARHOST_UNUSED_SLOT(fsf, QuoteSpaceOnly);
    FARHOST_UNUSED_SLOT(fsf, PointToName);
    FARHOST_UNUSED_SLOT(fsf, GetPathRoot);
    FARHOST_UNUSED_SLOT(fsf, AddEndSlash);
    FARHOST_UNUSED_SLOT(fsf, CopyToClipboard);
    FARHOST_UNUSED_SLOT(fsf, PasteFromClipboard);
    FARHOST_UNUSED_SLOT(fsf, FarKeyToName);
    FARHOST_UNUSED_SLOT(fsf, FarNameToKey);
    FARHOST_UNUSED_SLOT(fsf, FarInputRecordToKey);
    FARHOST_UNUSED_SLOT(fsf, XLat);
    FARHOST_UNUSED_SLOT(fsf, GetFileOwner);
    FARHOST_UNUSED_SLOT(fsf, GetNumberOfLinks);
    FARHOST_UNUSED_SLOT(fsf, FarRecursiveSearch);
    FARHOST_UNUSED_SLOT(fsf, MkTemp);
    FARHOST_UNUSED_SLOT(fsf, DeleteBuffer);
    FARHOST_UNUSED_SLOT(fsf, ProcessName);
    FARHOST_UNUSED_SLOT(fsf, MkLink);
    FARHOST_UNUSED_SLOT(fsf, ConvertPath);
    FARHOST_UNUSED_SLOT(fsf, GetReparsePointInfo);
    FARHOST_UNUSED_SLOT(fsf, GetCurrentDirectory);
}

void HostFunctions::FillStartupTable(far::PluginStartupInfo& info) {
    info.Menu = &Messages::Menu;
    info.Message = &Messages::Message;
    info.GetMsg = &Messages::GetMsg;
    info.Control = &Panels::Control;
    info.SaveScreen = &Panels::SaveScreen;
    info.RestoreScreen = &Panels::RestoreScreen;
    info.AdvControl = &Panels::AdvControl;
    info.DialogInit = &Dialogs::DialogInit;
    info.DialogRun = &Dialogs::DialogRun;
    info.DialogFree = &Dialogs::DialogFree;
    info.SendDlgMessage = &Dialogs::SendDlgMessage;
    info.DefDlgProc = &Dialogs::DefDlgProc;
    FARHOST_UNUSED_SLOT(info, GetDirList);
    FARHOST_UNUSED_SLOT(info, GetPluginDirList);
    FARHOST_UNUSED_SLOT(info, FreeDirList);
    FARHOST_UNUSED_SLOT(info, FreePluginDirList);
    FARHOST_UNUSED_SLOT(info, Viewer);
    FARHOST_UNUSED_SLOT(info, Editor);
    FARHOST_UNUSED_SLOT(info, CmpName);
    FARHOST_UNUSED_SLOT(info, Text);
    FARHOST_UNUSED_SLOT(info, EditorControl);
    FARHOST_UNUSED_SLOT(info, ShowHelp);
    FARHOST_UNUSED_SLOT(info, InputBox);
    FARHOST_UNUSED_SLOT(info, ViewerControl);
    FARHOST_UNUSED_SLOT(info, PluginsControl);
    FARHOST_UNUSED_SLOT(info, FileFilterControl);
    FARHOST_UNUSED_SLOT(info, RegExpControl);
}

#undef FARHOST_UNUSED_SLOT

void Host::FillTables() {
    auto& fsf = standardFunctions_;
    fsf.StructSize = sizeof(far::FarStandardFunctions);
    HostFunctions::FillStandardTable(fsf);

    auto& info = startupInfo_;
    info.StructSize = sizeof(far::PluginStartupInfo);
    info.ModuleName = ToHost(moduleName_);
    info.ModuleNumber = kModuleNumber;
    info.RootKey = ToHost(options_.rootKey);
    info.FSF = &standardFunctions_;
    HostFunctions::FillStartupTable(info);
}

namespace {

template <class Function>
bool Resolve(const wm::platform::DynamicLibrary& library, const char* name, Function& slot) {
    slot = reinterpret_cast<Function>(library.Symbol(name));
    return slot != nullptr;
}

}  // namespace

void Host::LoadPlugin(const std::filesystem::path& module) {
    if (library_) throw wm::Exception(u"A plugin is already loaded: " + moduleName_);
    const std::filesystem::path path = std::filesystem::absolute(module);
    auto library = std::make_unique<wm::platform::DynamicLibrary>(path.u16string());

    PluginExports exports;
    bool any = false;
#define FARHOST_RESOLVE(name) any |= Resolve(*library, #name, exports.name)
    FARHOST_RESOLVE(SetStartupInfoW);
    FARHOST_RESOLVE(GetPluginInfoW);
    FARHOST_RESOLVE(OpenPluginW);
    FARHOST_RESOLVE(ConfigureW);
    FARHOST_RESOLVE(ExitFARW);
    FARHOST_RESOLVE(ClosePluginW);
    FARHOST_RESOLVE(GetFindDataW);
    FARHOST_RESOLVE(FreeFindDataW);
    FARHOST_RESOLVE(SetDirectoryW);
    FARHOST_RESOLVE(MakeDirectoryW);
    FARHOST_RESOLVE(DeleteFilesW);
    FARHOST_RESOLVE(GetFilesW);
    FARHOST_RESOLVE(PutFilesW);
    FARHOST_RESOLVE(ProcessKeyW);
    FARHOST_RESOLVE(ProcessEventW);
    FARHOST_RESOLVE(GetOpenPluginInfoW);
#undef FARHOST_RESOLVE
    if (!any)
        throw wm::Exception(u"Not a plugin (none of the plugin exports): " + path.u16string());

    std::optional<LanguageFile> language = LanguageFile::ForModule(path, options_.language);

    moduleName_ = path.u16string();
    startupInfo_.ModuleName = ToHost(moduleName_);
    exports_ = exports;
    library_ = std::move(library);
    if (language) SetLanguageFile(std::move(*language));
}

void Host::SetLanguageFile(LanguageFile file) {
    languageFiles_.push_back(std::move(file));
    language_ = &languageFiles_.back();
}

void Host::StartPlugin() {
    if (!exports_.SetStartupInfoW) throw wm::Exception(u"The plugin has no SetStartupInfoW export");
    exports_.SetStartupInfoW(&startupInfo_);
}

bool Host::OpenPluginPanel(size_t side, far::HANDLE answer) {
    if (!rules::IsPanelAnswer(answer)) return false;
    ClosePluginPanel(side, false);
    SetActiveSide(side);
    auto panel = std::make_shared<PluginPanel>(*this, answer);
    panel->Focus(true);
    if (!panel->Read(false)) {
        panel->Close();
        return false;
    }
    pluginPanels_.at(side) = panel;
    panel->Redraw();
    return true;
}

void Host::SetActiveSide(size_t side) {
    const size_t active = panels_.ActiveSide();
    if (side == active) return;
    if (const auto panel = pluginPanels_[active]) panel->Focus(false);
    panels_.SetActiveSide(side);
    if (const auto panel = pluginPanels_[side]) panel->Focus(true);
}

void Host::SwitchActiveSide() {
    const size_t active = panels_.ActiveSide();
    if (const auto panel = pluginPanels_[active]; panel && panel->OfferKey(far::VK_TAB, 0, true))
        return;
    SetActiveSide(1 - active);
}

bool Host::ClosePluginPanel(size_t side, bool mayRefuse) {
    const std::shared_ptr<PluginPanel> panel = pluginPanels_.at(side);
    if (!panel) return true;
    if (panel->AskClose() != 0 && mayRefuse) return false;
    // Off the side first: whatever the plugin asks while it closes is about the file panel.
    pluginPanels_.at(side).reset();
    panel->Close();
    // The file panel comes back read anew.
    panels_.Side(side).Refresh();
    panels_.Side(side).Redraw();
    return true;
}

void Host::ClosePluginPanels() {
    for (size_t side = 0; side < 2; ++side) ClosePluginPanel(side, false);
}

std::optional<size_t> Host::SideOf(far::HANDLE handle) const {
    const size_t active = panels_.ActiveSide();
    if (handle == far::PANEL_ACTIVE) return active;
    if (handle == far::PANEL_PASSIVE) return 1 - active;
    for (const size_t side : {active, 1 - active}) {
        if (pluginPanels_[side] && pluginPanels_[side]->Handle() == handle) return side;
    }
    return std::nullopt;
}

int32_t Host::PanelControl(far::HANDLE handle, int32_t command, int32_t param1,
                           far::LONG_PTR param2) {
    const auto side = SideOf(handle);
    if (!side) return 0;
    const bool active = *side == panels_.ActiveSide();
    const far::HANDLE sideHandle = active ? far::PANEL_ACTIVE : far::PANEL_PASSIVE;
    if (const auto panel = pluginPanels_[*side]) {
        switch (command) {
            case far::FCTL_CLOSEPLUGIN: {
                ClosePluginPanel(*side, false);
                const wm::String folder = Text(reinterpret_cast<far::HostText>(param2));
                if (!folder.empty()) panels_.Side(*side).SetDirectory(folder);
                return 1;
            }
            case far::FCTL_SETPANELDIR: {
                if (param2 == 0) return 0;
                ClosePluginPanel(*side, false);
                const int32_t result = panels_.Control(sideHandle, command, param1, param2);
                // The file panel is drawn in the plugin panel's place, at its new folder.
                if (result != 0) panels_.Side(*side).Redraw();
                return result;
            }
            default:
                return panel->Control(active, *side == 0, command, param1, param2);
        }
    }
    return panels_.Control(sideHandle, command, param1, param2);
}

std::string Host::DrawPanels(int width, int height) const {
    PanelView views[2];
    for (size_t side = 0; side < 2; ++side) {
        views[side] = pluginPanels_[side] ? pluginPanels_[side]->View() : panels_.Side(side).View();
    }
    return farhost::DrawPanels(views[0], views[1], panels_.LeftIsActive(), width, height);
}

void Host::ShowPathNotFound(far::HostText path) {
    std::error_code error;
    const wm::String text = Text(path);
    if (text.empty() || std::filesystem::exists(std::filesystem::path(text), error)) return;
    MessageCall call;
    call.flags = far::FMSG_WARNING;
    call.lines = {u"Error", u"Path not found", text, u"OK"};
    call.buttons = 1;
    call.fromHost = true;
    call.answer = user_ ? user_->OnMessage(call, 0) : 0;
    messages_.push_back(std::move(call));
}

int Host::AskHostMessage(MessageCall call) {
    call.fromHost = true;
    const auto queued = Next(messageAnswers_);
    call.answer = user_ ? user_->OnMessage(call, queued) : queued.value_or(-1);
    messages_.push_back(std::move(call));
    return messages_.back().answer;
}

Host::HostDialogResult Host::RunHostDialog(int width, int height,
                                           const std::vector<far::FarDialogItem>& items) {
    const far::HANDLE handle = dialogs_->Init(-1, -1, width, height, nullptr, items.data(),
                                              static_cast<unsigned>(items.size()), 0, nullptr, 0);
    if (handle == far::INVALID_HANDLE_VALUE) return {};
    // Freed on every way out, as the plugin's dialogs are after DialogRun.
    struct Freed {
        DialogEngine& engine;
        far::HANDLE handle;
        ~Freed() {
            try {
                engine.Free(handle);
            } catch (...) {
                // Still running only if Run failed midway; the engine drops it with the Host.
            }
        }
    } freed{*dialogs_, handle};
    HostDialogResult result;
    result.exitCode = dialogs_->Run(handle);
    for (const auto& item : dialogs_->Find(handle)->Items()) result.texts.push_back(item.text);
    return result;
}

int Host::ShowMenu(MenuCall call) {
    const auto queued = Next(menuAnswers_);
    call.answer = user_ ? user_->OnMenu(call, queued) : queued.value_or(-1);
    menus_.push_back(std::move(call));
    return menus_.back().answer;
}

int Host::ShowHistory(const HostDialog& dialog, int item, const std::vector<wm::String>& entries) {
    // The host's list drops down below the edit, the latest entry last and selected.
    const far::SMALL_RECT rect = dialog.Rect();
    const auto& record = dialog.Items().at(item).record;
    MenuCall call;
    call.x = rect.Left + record.X1;
    call.y = rect.Top + record.Y1 + 1;
    call.flags = far::FMENU_WRAPMODE;
    call.title = u"History";
    for (const auto& entry : entries) call.items.push_back({entry, false, false, false});
    call.items.back().selected = true;
    call.fromHost = true;
    return ShowMenu(std::move(call));
}

void Host::QueueMessageAnswer(int answer) {
    messageAnswers_.push_back(answer);
}

void Host::QueueMenuAnswer(int answer) {
    menuAnswers_.push_back(answer);
}

void Host::SetConsoleRect(std::optional<far::SMALL_RECT> rect) {
    options_.consoleRect = rect;
}

far::COORD Host::ConsoleSize() const {
    if (!options_.consoleRect) return far::COORD{80, 25};
    const far::SMALL_RECT& rect = *options_.consoleRect;
    return far::COORD{static_cast<int16_t>(rect.Right - rect.Left + 1),
                      static_cast<int16_t>(rect.Bottom - rect.Top + 1)};
}

void Host::QueueDialogAction(DialogAction action) {
    dialogs_->Queue(std::move(action));
}

void Host::QueueDialogActions(std::string_view script) {
    for (auto& action : ParseDialogActions(script)) dialogs_->Queue(std::move(action));
}

size_t Host::QueuedDialogActions() const {
    return dialogs_->QueuedActions();
}

void Host::SetDialogPrompt(DialogPrompt prompt) {
    dialogs_->SetPrompt(std::move(prompt));
}

void Host::RefuseDialogs(bool refuse) {
    dialogs_->Refuse(refuse);
}

HostDialog* Host::FindDialog(far::HANDLE handle) const {
    return dialogs_->Find(handle);
}

int Host::LiveDialogCount() const {
    return dialogs_->LiveCount();
}

std::vector<wm::String> Host::DrawDialogScreen(const HostDialog& dialog) const {
    return dialogs_->Draw(dialog);
}

const std::vector<std::vector<wm::String>>& Host::DialogScreens() const {
    return dialogs_->Screens();
}

namespace {

int Count(const std::vector<HostCall>& calls, std::string_view function) {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const HostCall& call) {
        return call.function == function;
    }));
}

}  // namespace

int Host::CallCount(std::string_view function) const {
    return Count(calls_, function);
}

int Host::PluginCallCount(std::string_view function) const {
    return Count(pluginCalls_, function);
}

void Host::RecordPluginCall(std::string function, std::vector<std::string> arguments) {
    pluginCalls_.push_back({std::move(function), std::move(arguments)});
}

void Host::ClearRecords() {
    messages_.clear();
    menus_.clear();
    calls_.clear();
    pluginCalls_.clear();
    errors_.clear();
    dialogs_->ClearScreens();
}

void Host::Record(std::string function, std::vector<std::string> arguments) {
    calls_.push_back({std::move(function), std::move(arguments)});
}

void Host::RecordError(const char* function, const char* reason) noexcept {
    try {
        errors_.push_back(std::string(function) + ": " + reason);
    } catch (...) {
        // Out of memory while reporting: the failure value the caller gets must do.
    }
}

}  // namespace farhost
