#include "tests/probe/ProbePanel.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "framework/FarPanelManaged.h"
#include "host/FarKeysW.h"

namespace wm {
namespace {

namespace fs = std::filesystem;

struct Folder {
    std::map<String, std::string> files;
    std::map<String, Folder> folders;
};

class TProbePanel : public TFarPanelManaged {
public:
    TProbePanel() {
        root_.files = {{u"alpha.txt", "alpha"}, {u"beta.txt", "beta"}};
        root_.folders[u"group"].files = {{u"inner.txt", "inner"}};
    }

    String GetCurrentDir() override { return inGroup_ ? u"group" : u""; }

    String GetPanelTitle() override { return u"Probe:" + GetCurrentDir(); }

    void GetOpenPluginInfo(far::OpenPluginInfo& info) override {
        // F7 gets a label of the panel's own; the others keep the host's.
        keyBar_ = {};
        keyBar_.Titles[6] = ToHostString(keyLabel_);
        info.KeyBar = &keyBar_;
    }

    bool GetFindData(int /*opMode*/, far::PluginPanelItem*& items, int& count) override {
        const Folder& folder = Current();
        std::vector<std::pair<String, uint32_t>> names;
        if (inGroup_) names.emplace_back(u"..", far::FILE_ATTRIBUTE_DIRECTORY);
        for (const auto& [name, sub] : folder.folders)
            names.emplace_back(name, far::FILE_ATTRIBUTE_DIRECTORY);
        for (const auto& [name, text] : folder.files)
            names.emplace_back(name, far::FILE_ATTRIBUTE_NORMAL);
        count = static_cast<int>(names.size());
        items = new far::PluginPanelItem[names.size()]{};
        for (size_t i = 0; i < names.size(); ++i) {
            items[i].FindData.lpwszFileName = NewHostString(names[i].first);
            items[i].FindData.dwFileAttributes = names[i].second;
            const auto file = folder.files.find(names[i].first);
            if (file != folder.files.end()) items[i].FindData.nFileSize = file->second.size();
            items[i].UserData = 100 + i;
        }
        return true;
    }

    void FreeFindData(far::PluginPanelItem* items, int count) override {
        for (int i = 0; i < count; ++i) {
            auto* name = const_cast<far::HostChar*>(items[i].FindData.lpwszFileName);
            FreeHostString(name);
        }
        delete[] items;
    }

    bool SetDirectory(StringView directory, int /*opMode*/) override {
        if (directory == u".." && inGroup_) {
            inGroup_ = false;
            return true;
        }
        if (directory == u"group" && !inGroup_) {
            inGroup_ = true;
            return true;
        }
        return false;
    }

    bool MakeDirectory(String& name) override {
        if (name.empty()) return false;
        Current().folders[name];
        return true;
    }

    bool DeleteFile(far::PluginPanelItem& item, int /*opMode*/) override {
        const String name = FromHostString(item.FindData.lpwszFileName);
        return Current().files.erase(name) + Current().folders.erase(name) > 0;
    }

    bool GetFile(far::PluginPanelItem& item, int /*opMode*/, StringView destPath,
                 bool move) override {
        const String name = FromHostString(item.FindData.lpwszFileName);
        const auto file = Current().files.find(name);
        if (file == Current().files.end()) return false;
        std::ofstream(fs::path(String(destPath)) / name, std::ios::binary) << file->second;
        item.Flags &= ~far::PPIF_SELECTED;
        if (move) Current().files.erase(file);
        return true;
    }

    int PutFile(far::PluginPanelItem& item, int /*opMode*/, StringView srcPath,
                bool move) override {
        const String name = FromHostString(item.FindData.lpwszFileName);
        const fs::path source = fs::path(String(srcPath)) / name;
        std::ifstream in(source, std::ios::binary);
        if (!in) return 0;
        Current().files[name] = std::string(std::istreambuf_iterator<char>(in), {});
        in.close();
        if (move) fs::remove(source);
        return 1;
    }

    bool ProcessKey(int key, unsigned controlState) override {
        if (key == far::VK_F6 && controlState == 0) return true;
#ifdef _WIN32
        // F12 faults on purpose.
        if (key == 0x7B && controlState == 0) *static_cast<volatile int*>(nullptr) = 1;
#endif
        if (key == far::VK_F4 && controlState == far::PKF_SHIFT) {
            // The host closes the panel at once: nothing of this object may be used after.
            Startup().Control(Handle(), far::FCTL_CLOSEPLUGIN, 0, 0);
            return true;
        }
        return false;
    }

private:
    Folder& Current() {
        return inGroup_ ? root_.folders[u"group"] : root_;
    }

    Folder root_;
    bool inGroup_ = false;
    String keyLabel_ = u"Group";
    far::KeyBarTitles keyBar_{};
};

}  // namespace

far::HANDLE OpenProbePanel() {
    return (new TProbePanel)->Handle();
}

}  // namespace wm
