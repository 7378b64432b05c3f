// A plugin module built only for tests: its commands make the framework raise, report and fit
// texts, so the framework can be observed through real exports.
//   raise:TEXT     raises EFarError with TEXT ("|" becomes a line break)
//   abort          raises EAbort
//   foreign        raises a std::runtime_error
//   fit:WIDTH:TEXT shows FitText(TEXT, WIDTH, '.') with ShowError
//   ask            runs an OK/Cancel dialog with one edit and shows its text, or "cancelled"
//   null           answers the null handle (which a host takes as a panel)
//   fault          writes through a null pointer (Windows builds only)
//   panel          opens the probe's panel (see ProbePanel.h)
// The plugins menu and the drive menu open the panel too. Every other open answers
// INVALID_HANDLE_VALUE: no panel.
#include <stdexcept>

#include "framework/FarDialogControls.h"
#include "framework/FarPlugin.h"
#include "framework/FarStandardDialogs.h"
#include "tests/probe/ProbePanel.h"

namespace wm {
namespace {

class TProbePlugin : public TFarPlugin {
public:
    Guid GetPluginId() override { return NullGuid; }
    void GetInfoStrings(String& title, String& description, String& author) override {
        title = u"Probe";
        description = u"Framework probe";
        author = u"Tests";
    }
    void GetMenus(uint32_t& flags, TFarPluginMenu& pluginMenu, TFarPluginMenu& /*configMenu*/,
                  TFarPluginMenu& /*diskMenu*/, String& prefix) override {
        flags = 0x20;
        pluginMenu = {{u"Probe menu", NullGuid}};
        prefix = u"probe";
    }
#ifdef _WIN32
    // The configuration item 7 faults on purpose.
    bool Configure(const Guid* /*guid*/, int itemNumber) override {
        if (itemNumber == 7) *static_cast<volatile int*>(nullptr) = 1;
        return false;
    }
#endif
    far::HANDLE Open(int openFrom, const Guid* /*guid*/, far::INT_PTR item) override {
        if (openFrom == far::OPEN_PLUGINSMENU || openFrom == far::OPEN_DISKMENU)
            return OpenProbePanel();
        if (openFrom != far::OPEN_COMMANDLINE) return far::INVALID_HANDLE_VALUE;
        const String command = FromHostString(reinterpret_cast<const far::HostChar*>(item));
        if (command == u"null") return nullptr;
        if (command == u"panel") return OpenProbePanel();
        if (command.starts_with(u"raise:")) {
            String text = command.substr(6);
            for (auto& c : text) c = c == u'|' ? u'\n' : c;
            throw EFarError(text);
        }
        if (command == u"abort") throw EAbort();
#ifdef _WIN32
        if (command == u"fault") *static_cast<volatile int*>(nullptr) = 1;
#endif
        if (command == u"foreign") throw std::runtime_error("foreign failure");
        if (command == u"ask") {
            auto dialog = TFarDialog::New<TOkCancelDialog>(NullGuid);
            TFarDialog::TEdit* edit = dialog->AddEdit(5, 2, 30, u"initial");
            ShowError(dialog->ExecuteOk() ? edit->GetText() : String(u"cancelled"));
        }
        if (command.starts_with(u"fit:")) {
            const auto colon = command.find(u':', 4);
            const int width = std::stoi(ToUtf8(command.substr(4, colon - 4)));
            ShowError(FitText(command.substr(colon + 1), width, u'.'));
        }
        return far::INVALID_HANDLE_VALUE;
    }
};

[[maybe_unused]] const bool registered = [] {
    TFarPlugin::Register(std::make_unique<TProbePlugin>());
    return true;
}();

}  // namespace
}  // namespace wm
