// far2l's fifteen exports and GetOpenPluginInfoW: each converts far2l's records and texts, calls
// the plugin's export of the same name and converts the answer back. Nothing is thrown out.
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "far2l/Host.h"
#include "far2l/InnerExports.h"
#include "far2l/Profile.h"
#include "far2l/Records.h"
#include "platform/Export.h"
#include "platform/MessageBox.h"
#include "platform/posix/Registry.h"

using namespace wm;
using namespace wm::bridge;

namespace {

constexpr int32_t kOpenFromMacroString = 0x20000;

// Off when far2l handed over a startup layout this bridge does not know.
bool Started = false;

template <typename Result, typename Action>
Result Guarded(Result fallback, Action action) noexcept {
    if (!Started) return fallback;
    try {
        return action();
    } catch (...) {
        return fallback;  // memory ran out while converting: the call does nothing
    }
}

// A listing the plugin made, in far2l's layout, until far2l frees it.
struct TListing {
    far::HANDLE Panel;
    far::PluginPanelItem* PluginItems;
    int32_t PluginCount;
    TTexts32 Texts;
    std::vector<far2l::PluginPanelItem> Items;
};

std::mutex StateMutex;
std::map<const far2l::PluginPanelItem*, std::unique_ptr<TListing>> Listings;
std::map<far::HANDLE, std::unique_ptr<THostPanelInfo>> PanelInfos;

String ToPluginRootKey(far2l::HostText32 key) {
    String result = FromHost32(key);
    for (char16_t& c : result) {
        if (c == u'/') c = u'\\';
    }
    return result;
}

}  // namespace

WM_EXPORT void SetStartupInfoW(const void* info) {
    if (info == nullptr || Started) return;
    if (!TakeHostFunctions(info)) {
        int32_t size = 0;
        std::memcpy(&size, info, sizeof size);
        platform::ShowLastResortMessage(
            u"Waymarks",
            u"far2l handed over a startup record of " + FromUtf8(std::to_string(size)) +
                u" bytes, which this build does not know (it knows those of far2l 2.6 and 2.7: "
                u"260 and 276 bytes). The plugin stays off.",
            platform::MessageBoxIconError);
        return;
    }
    Started = true;
    Guarded(0, [&] {
        // The fields before Menu are the same in every layout.
        const auto& host = *static_cast<const far2l::PluginStartupInfo<260>*>(info);
        static String moduleName, rootKey;
        static far::PluginStartupInfo plugin{};
        static far::FarStandardFunctions functions{};
        moduleName = FromHost32(host.ModuleName);
        rootKey = ToPluginRootKey(host.RootKey);
        plugin.StructSize = sizeof plugin;
        plugin.ModuleName = moduleName.c_str();
        plugin.ModuleNumber = host.ModuleNumber;
        plugin.RootKey = rootKey.c_str();
        FillPluginFunctions(plugin, functions);
        plugin.FSF = &functions;
        if (const std::string store = StoreFile(); !store.empty()) platform::UseRegistryFile(store);
        WmBridgedSetStartupInfoW(&plugin);
        return 0;
    });
}

WM_EXPORT void GetPluginInfoW(far2l::PluginInfo* info) {
    if (info == nullptr) return;
    Guarded(0, [&] {
        static TTexts32 texts;
        far::PluginInfo own{};
        own.StructSize = sizeof own;
        WmBridgedGetPluginInfoW(&own);
        ToHostPluginInfo(own, *info, texts);
        return 0;
    });
}

WM_EXPORT far::HANDLE OpenPluginW(int32_t openFrom, far::INT_PTR item) {
    return Guarded(far::INVALID_HANDLE_VALUE, [&] {
        const bool text = openFrom == far::OPEN_COMMANDLINE || openFrom == far::OPEN_SHORTCUT ||
                          (openFrom & kOpenFromMacroString) != 0;
        if (!text || item == 0) return WmBridgedOpenPluginW(openFrom, item);
        const String own = FromHost32(reinterpret_cast<far2l::HostText32>(item));
        return WmBridgedOpenPluginW(openFrom, reinterpret_cast<far::INT_PTR>(own.c_str()));
    });
}

WM_EXPORT int32_t ConfigureW(int32_t itemNumber) {
    return Guarded(0, [&] { return WmBridgedConfigureW(itemNumber); });
}

WM_EXPORT void ExitFARW() {
    Guarded(0, [] {
        WmBridgedExitFARW();
        return 0;
    });
}

WM_EXPORT void ClosePluginW(far::HANDLE panel) {
    Guarded(0, [&] {
        WmBridgedClosePluginW(panel);
        const std::lock_guard lock(StateMutex);
        PanelInfos.erase(panel);
        return 0;
    });
}

WM_EXPORT int32_t GetFindDataW(far::HANDLE panel, far2l::PluginPanelItem** items, int32_t* count,
                               int32_t opMode) {
    if (items == nullptr || count == nullptr) return 0;
    return Guarded(0, [&] {
        auto listing = std::make_unique<TListing>();
        listing->Panel = panel;
        listing->PluginItems = nullptr;
        listing->PluginCount = 0;
        if (!WmBridgedGetFindDataW(panel, &listing->PluginItems, &listing->PluginCount, opMode)) {
            return 0;
        }
        try {
            const int32_t n = std::max(listing->PluginCount, 0);
            // One record at least, so that every listing has an address of its own.
            listing->Items.reserve(static_cast<size_t>(std::max(n, 1)));
            for (int32_t k = 0; k < n; ++k) {
                listing->Items.push_back(ToHostItem(listing->PluginItems[k], listing->Texts));
            }
            *items = listing->Items.data();
            *count = n;
            const std::lock_guard lock(StateMutex);
            Listings[listing->Items.data()] = std::move(listing);
        } catch (...) {
            WmBridgedFreeFindDataW(panel, listing->PluginItems, listing->PluginCount);
            throw;
        }
        return 1;
    });
}

WM_EXPORT void FreeFindDataW(far::HANDLE panel, far2l::PluginPanelItem* items, int32_t /*count*/) {
    Guarded(0, [&] {
        std::unique_ptr<TListing> listing;
        {
            const std::lock_guard lock(StateMutex);
            const auto found = Listings.find(items);
            if (found == Listings.end()) return 0;
            listing = std::move(found->second);
            Listings.erase(found);
        }
        WmBridgedFreeFindDataW(panel, listing->PluginItems, listing->PluginCount);
        return 0;
    });
}

WM_EXPORT void GetOpenPluginInfoW(far::HANDLE panel, void* info) {
    if (info == nullptr) return;
    Guarded(0, [&] {
        far::OpenPluginInfo own{};
        own.StructSize = sizeof own;
        WmBridgedGetOpenPluginInfoW(panel, &own);
        const std::lock_guard lock(StateMutex);
        auto& kept = PanelInfos[panel];
        if (!kept) kept = std::make_unique<THostPanelInfo>();
        kept->Fill(own, info);
        return 0;
    });
}

WM_EXPORT int32_t SetDirectoryW(far::HANDLE panel, far2l::HostText32 folder, int32_t opMode) {
    return Guarded(0, [&] {
        const String own = FromHost32(folder);
        return WmBridgedSetDirectoryW(panel, folder ? own.c_str() : nullptr, opMode);
    });
}

WM_EXPORT int32_t MakeDirectoryW(far::HANDLE panel, far2l::HostText32 const* name, int32_t opMode) {
    return Guarded(0, [&] {
        const String own = FromHost32(name ? *name : nullptr);
        const far::HostText text = name && *name ? own.c_str() : nullptr;
        return WmBridgedMakeDirectoryW(panel, name ? &text : nullptr, opMode);
    });
}

WM_EXPORT int32_t DeleteFilesW(far::HANDLE panel, far2l::PluginPanelItem* items, int32_t count,
                               int32_t opMode) {
    return Guarded(0, [&] {
        TPluginItems own(items, count);
        return WmBridgedDeleteFilesW(panel, own.Data(), own.Count(), opMode);
    });
}

WM_EXPORT int32_t GetFilesW(far::HANDLE panel, far2l::PluginPanelItem* items, int32_t count,
                            int32_t move, far2l::HostText32 const* destination, int32_t opMode) {
    return Guarded(0, [&] {
        TPluginItems own(items, count);
        const String folder = FromHost32(destination ? *destination : nullptr);
        const far::HostText text = destination && *destination ? folder.c_str() : nullptr;
        return WmBridgedGetFilesW(panel, own.Data(), own.Count(), move,
                                  destination ? &text : nullptr, opMode);
    });
}

WM_EXPORT int32_t PutFilesW(far::HANDLE panel, far2l::PluginPanelItem* items, int32_t count,
                            int32_t move, far2l::HostText32 source, int32_t opMode) {
    return Guarded(0, [&] {
        TPluginItems own(items, count);
        const String folder = FromHost32(source);
        return WmBridgedPutFilesW(panel, own.Data(), own.Count(), move,
                                  source ? folder.c_str() : nullptr, opMode);
    });
}

WM_EXPORT int32_t ProcessKeyW(far::HANDLE panel, int32_t key, uint32_t controlState) {
    return Guarded(0, [&] { return WmBridgedProcessKeyW(panel, key, controlState); });
}

WM_EXPORT int32_t ProcessEventW(far::HANDLE panel, int32_t event, void* param) {
    return Guarded(0, [&] {
        const bool text = event == far::FE_CHANGEVIEWMODE || event == far::FE_COMMAND;
        if (!text || param == nullptr) return WmBridgedProcessEventW(panel, event, param);
        String own = FromHost32(static_cast<far2l::HostText32>(param));
        return WmBridgedProcessEventW(panel, event, own.data());
    });
}
