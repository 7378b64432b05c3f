// The built far2l module, loaded and driven as far2l drives it.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "tests/bridge/FakeFar2l.h"

namespace wm::test {
namespace {

namespace fs = std::filesystem;

// What far2l's own stderr would show while `action` runs.
std::string CaptureStderr(const std::function<void()>& action) {
    std::fflush(stderr);
    FILE* file = std::tmpfile();
    const int saved = ::dup(2);
    ::dup2(::fileno(file), 2);
    action();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
    std::fclose(file);
    return text;
}

// Each test loads its own copy of the module, as a module never started before. The copies stay
// loaded, as far2l keeps its plugins until it exits.
class Far2lModule : public ::testing::Test {
protected:
    void SetUp() override {
        // A path of its own: the loader takes a path it has loaded before for the same module.
        static int loaded = 0;
        folder_ = fs::temp_directory_path() /
                  ("wm-bridge-" + std::to_string(::getpid()) + "-" + std::to_string(++loaded));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "plug");
        const fs::path module = folder_ / "plug" / "Waymarks.far-plug-wide";
        fs::copy_file(WAYMARKS_FAR2L_MODULE_PATH, module);
        handle_ = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << ::dlerror();
        SetStartupInfoW = Export<void (*)(const void*)>("SetStartupInfoW");
        GetPluginInfoW = Export<void (*)(far2l::PluginInfo*)>("GetPluginInfoW");
        OpenPluginW = Export<far::HANDLE (*)(int32_t, far::INT_PTR)>("OpenPluginW");
        ConfigureW = Export<int32_t (*)(int32_t)>("ConfigureW");
        ExitFARW = Export<void (*)()>("ExitFARW");
        ClosePluginW = Export<void (*)(far::HANDLE)>("ClosePluginW");
        GetFindDataW =
            Export<int32_t (*)(far::HANDLE, far2l::PluginPanelItem**, int32_t*, int32_t)>(
                "GetFindDataW");
        FreeFindDataW =
            Export<void (*)(far::HANDLE, far2l::PluginPanelItem*, int32_t)>("FreeFindDataW");
        GetOpenPluginInfoW = Export<void (*)(far::HANDLE, void*)>("GetOpenPluginInfoW");
        ProcessKeyW = Export<int32_t (*)(far::HANDLE, int32_t, uint32_t)>("ProcessKeyW");
        const char* settings = std::getenv("FARSETTINGS");
        savedSettings_ = settings ? std::optional<std::string>(settings) : std::nullopt;
        ::setenv("FARSETTINGS", Profile().c_str(), 1);
    }

    void TearDown() override {
        if (savedSettings_) {
            ::setenv("FARSETTINGS", savedSettings_->c_str(), 1);
        } else {
            ::unsetenv("FARSETTINGS");
        }
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    template <class Function>
    Function Export(const char* name) {
        void* symbol = ::dlsym(handle_, name);
        EXPECT_NE(symbol, nullptr) << name;
        return reinterpret_cast<Function>(symbol);
    }

    fs::path Profile() const { return folder_ / "profile"; }

    template <size_t Size>
    void ExpectStartsAndAnswers(const far2l::PluginStartupInfo<Size>& startup);

    FakeFar2l fake;
    void (*SetStartupInfoW)(const void*) = nullptr;
    void (*GetPluginInfoW)(far2l::PluginInfo*) = nullptr;
    far::HANDLE (*OpenPluginW)(int32_t, far::INT_PTR) = nullptr;
    int32_t (*ConfigureW)(int32_t) = nullptr;
    void (*ExitFARW)() = nullptr;
    void (*ClosePluginW)(far::HANDLE) = nullptr;
    int32_t (*GetFindDataW)(far::HANDLE, far2l::PluginPanelItem**, int32_t*, int32_t) = nullptr;
    void (*FreeFindDataW)(far::HANDLE, far2l::PluginPanelItem*, int32_t) = nullptr;
    void (*GetOpenPluginInfoW)(far::HANDLE, void*) = nullptr;
    int32_t (*ProcessKeyW)(far::HANDLE, int32_t, uint32_t) = nullptr;

private:
    fs::path folder_;
    void* handle_ = nullptr;
    std::optional<std::string> savedSettings_;
};

TEST_F(Far2lModule, AnUnknownStartupLayoutIsReportedOnceAndLeavesEveryExportInert) {
    auto startup = fake.Startup276();
    startup.StructSize = 300;
    const std::string report = CaptureStderr([&] { SetStartupInfoW(&startup); });
    EXPECT_NE(report.find("300 bytes"), std::string::npos) << report;
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;

    const std::string quiet = CaptureStderr([&] {
        EXPECT_EQ(OpenPluginW(far::OPEN_PLUGINSMENU, 0), far::INVALID_HANDLE_VALUE);
        EXPECT_EQ(OpenPluginW(far::OPEN_COMMANDLINE, reinterpret_cast<far::INT_PTR>(U"name")),
                  far::INVALID_HANDLE_VALUE);
        alignas(8) far2l::PluginInfo info;
        std::memset(&info, 0xCD, sizeof info);
        GetPluginInfoW(&info);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&info);
        EXPECT_EQ(std::count(bytes, bytes + sizeof info, 0xCD),
                  static_cast<std::ptrdiff_t>(sizeof info));
        EXPECT_EQ(ConfigureW(0), 0);
        far2l::PluginPanelItem* items = nullptr;
        int32_t count = -1;
        EXPECT_EQ(GetFindDataW(reinterpret_cast<far::HANDLE>(1), &items, &count, 0), 0);
        EXPECT_EQ(count, -1);
        EXPECT_EQ(ProcessKeyW(reinterpret_cast<far::HANDLE>(1), 'a', 0), 0);
        ExitFARW();
    });
    EXPECT_EQ(quiet, "");
    EXPECT_EQ(fake.versionQueries, 0);
    EXPECT_EQ(fake.getMsgCalls, 0);
    EXPECT_FALSE(fs::exists(Profile()));
}

template <size_t Size>
void Far2lModule::ExpectStartsAndAnswers(const far2l::PluginStartupInfo<Size>& startup) {
    fake.messages[0] = U"Вехи \U0001D11E";
    EXPECT_EQ(CaptureStderr([&] { SetStartupInfoW(&startup); }), "");
    EXPECT_EQ(fake.versionQueries, 1);

    alignas(8) far2l::PluginInfo info{};
    info.StructSize = sizeof info;
    info.SysID = 0x57415950;
    GetPluginInfoW(&info);
    EXPECT_EQ(info.StructSize, 64);
    EXPECT_EQ(info.SysID, 0x57415950u);
    // Packed fields, taken by value.
    const auto expectTitle = [](far2l::HostText32 const* strings, int32_t count) {
        ASSERT_EQ(count, 1);
        EXPECT_EQ(T32(strings[0]), U"Вехи \U0001D11E");
    };
    expectTitle(info.PluginMenuStrings, info.PluginMenuStringsNumber);
    expectTitle(info.PluginConfigStrings, info.PluginConfigStringsNumber);
    expectTitle(info.DiskMenuStrings, info.DiskMenuStringsNumber);
    EXPECT_EQ(T32(info.CommandPrefix), U"cd");

    // The store is made in far2l's profile when the panel first reads it.
    const fs::path store = Profile() / ".config/plugins/waymarks/waymarks.sqlite3";
    const far::HANDLE panel = OpenPluginW(far::OPEN_PLUGINSMENU, 0);
    ASSERT_NE(panel, far::INVALID_HANDLE_VALUE);
    EXPECT_TRUE(fs::is_regular_file(store)) << store;

    // far2l 2.7's panel record: the plugin writes no further than its size.
    unsigned char record[112 + 16];
    std::memset(record, 0xAB, sizeof record);
    const int32_t recordSize = 112;
    std::memcpy(record, &recordSize, sizeof recordSize);
    GetOpenPluginInfoW(panel, record);
    EXPECT_EQ(std::count(record + 112, record + sizeof record, 0xAB), 16);
    alignas(8) far2l::OpenPluginInfo<112> panelInfo;
    std::memcpy(&panelInfo, record, sizeof panelInfo);
    EXPECT_EQ(panelInfo.StructSize, 112);
    const int32_t mode = panelInfo.StartPanelMode - u'0';
    ASSERT_GT(panelInfo.PanelModesNumber, mode);
    EXPECT_EQ(T32(panelInfo.PanelModesArray[mode].ColumnTypes), U"NO,Z");

    far2l::PluginPanelItem* items = nullptr;
    int32_t count = -1;
    ASSERT_EQ(GetFindDataW(panel, &items, &count, 0), 1);
    EXPECT_GE(count, 0);
    EXPECT_NE(items, nullptr);
    FreeFindDataW(panel, items, count);
    ClosePluginW(panel);
    ExitFARW();
}

TEST_F(Far2lModule, Far2l26StartsAndAnswersInUtf32) {
    ExpectStartsAndAnswers(fake.Startup260());
}

TEST_F(Far2lModule, Far2l27StartsAndAnswersInUtf32) {
    ExpectStartsAndAnswers(fake.Startup276());
}

}  // namespace
}  // namespace wm::test
