// The built plugin module, as the host meets it: its export table and its identity.
#include <gtest/gtest.h>

#include "farhost/engine/Host.h"
#include "tests/registry/Scratch.h"
#include "tests/support/BinaryExports.h"
#include "tests/support/HostText.h"
#include "tests/support/Paths.h"

namespace wm::test {
namespace {

const std::set<std::string> kExports = {
    "SetStartupInfoW", "GetPluginInfoW", "OpenPluginW",   "ConfigureW",
    "ExitFARW",        "ClosePluginW",   "GetFindDataW",  "FreeFindDataW",
    "SetDirectoryW",   "MakeDirectoryW", "DeleteFilesW",  "GetFilesW",
    "PutFilesW",       "ProcessKeyW",    "ProcessEventW", "GetOpenPluginInfoW"};

TEST(ModuleFile, ExportsExactlyTheSixteenEntryPoints) {
    const std::string image = ReadFileBytes(BuiltFile(WAYMARKS_MODULE_PATH));
    if (image.starts_with("MZ")) {
        EXPECT_EQ(PeExportNames(image), kExports);
    } else {
        EXPECT_EQ(ElfDynamicExports(image), kExports);
    }
}

TEST(ModuleFile, WindowsDllNeedsOnlySystemDllsAndCarriesItsVersion) {
    const std::string image = ReadFileBytes(BuiltFile(WAYMARKS_MODULE_PATH));
    if (!image.starts_with("MZ")) GTEST_SKIP() << "not a Windows build";
    EXPECT_TRUE(PeHasVersionResource(image));
    const std::set<std::string> system = {"kernel32.dll", "user32.dll",  "advapi32.dll",
                                          "shell32.dll",  "version.dll", "msvcrt.dll",
                                          "ole32.dll"};
    for (const auto& dll : PeImportedDlls(image)) {
        EXPECT_TRUE(system.contains(dll) || dll.starts_with("api-ms-win-")) << dll;
    }
}

std::unique_ptr<farhost::Host> StartedHost(farhost::Host::Options options = {}) {
    auto host = std::make_unique<farhost::Host>(std::move(options));
    host->LoadPlugin(BuiltFile(WAYMARKS_MODULE_PATH));
    host->StartPlugin();
    return host;
}

TEST(PluginModule, RegistersOneItemInEachMenuTitledByTheFirstMessage) {
    auto host = StartedHost();
    const auto language =
        farhost::LanguageFile::ForModule(BuiltFile(WAYMARKS_MODULE_PATH), u"English");
    ASSERT_TRUE(language.has_value());
    const String title = language->Messages().at(0);
    EXPECT_EQ(title, u"Waymarks");

    far::PluginInfo info{};
    host->Exports().GetPluginInfoW(&info);
    EXPECT_EQ(info.StructSize, 80);
    EXPECT_EQ(info.Flags, 0u);
    for (const auto& [strings, count] :
         {std::pair{info.PluginMenuStrings, info.PluginMenuStringsNumber},
          std::pair{info.PluginConfigStrings, info.PluginConfigStringsNumber},
          std::pair{info.DiskMenuStrings, info.DiskMenuStringsNumber}}) {
        ASSERT_EQ(count, 1);
        EXPECT_EQ(S(strings[0]), title);
    }
    EXPECT_EQ(S(info.CommandPrefix), u"cd");

    far::PluginInfo again{};
    host->Exports().GetPluginInfoW(&again);
    EXPECT_EQ(again.PluginMenuStrings, info.PluginMenuStrings);
    EXPECT_EQ(again.PluginMenuStrings[0], info.PluginMenuStrings[0]);
    EXPECT_EQ(again.CommandPrefix, info.CommandPrefix);
}

TEST(PluginModule, ALanguageIsFoundByItsFirstLettersInAnyCase) {
    const auto module = BuiltFile(WAYMARKS_MODULE_PATH);
    for (const char16_t* asked : {u"ru", u"RUS", u"russian"}) {
        const auto file = farhost::LanguageFile::ForModule(module, asked);
        ASSERT_TRUE(file.has_value());
        EXPECT_EQ(file->Language(), u"Russian") << ToUtf8(asked);
    }
    EXPECT_EQ(farhost::LanguageFile::ForModule(module, u"en")->Language(), u"English");
    // One letter is no abbreviation; an unknown language falls back to English.
    EXPECT_EQ(farhost::LanguageFile::ForModule(module, u"r")->Language(), u"English");
    EXPECT_EQ(farhost::LanguageFile::ForModule(module, u"xx")->Language(), u"English");
}

TEST(PluginModule, MenusFollowTheInterfaceLanguage) {
    farhost::Host::Options options;
    options.language = u"Russian";
    auto host = StartedHost(options);
    far::PluginInfo info{};
    host->Exports().GetPluginInfoW(&info);
    ASSERT_NE(host->CurrentLanguageFile(), nullptr);
    EXPECT_EQ(host->CurrentLanguageFile()->Language(), u"Russian");
    EXPECT_EQ(S(info.PluginMenuStrings[0]), host->CurrentLanguageFile()->Messages().at(0));
}

// The names a panel lists, through the exports.
std::vector<String> Listed(farhost::Host& host, far::HANDLE panel) {
    far::PluginPanelItem* items = nullptr;
    int32_t count = -1;
    EXPECT_EQ(host.Exports().GetFindDataW(panel, &items, &count, 0), 1);
    std::vector<String> names;
    for (int32_t i = 0; i < count; ++i) names.push_back(S(items[i].FindData.lpwszFileName));
    host.Exports().FreeFindDataW(panel, items, count);
    return names;
}

TEST(PluginModule, TheMenusAndTheBareCommandOpenThePanelAndACommandOpensNothing) {
    const ScratchKey scratch{u"module"};
    farhost::Host::Options options;
    options.rootKey = scratch.Below(u"Plugins");
    auto host = StartedHost(options);
    const auto& exports = host->Exports();
    const auto command = [&](const char16_t* text) {
        return exports.OpenPluginW(far::OPEN_COMMANDLINE, reinterpret_cast<far::INT_PTR>(text));
    };
    EXPECT_EQ(command(u":here"), far::INVALID_HANDLE_VALUE);
    EXPECT_EQ(command(u"missing"), far::INVALID_HANDLE_VALUE);
    EXPECT_EQ(exports.OpenPluginW(2, 0), far::INVALID_HANDLE_VALUE);

    for (const far::HANDLE panel :
         {exports.OpenPluginW(far::OPEN_PLUGINSMENU, 0), exports.OpenPluginW(far::OPEN_DISKMENU, 0),
          exports.OpenPluginW(far::OPEN_SHORTCUT, 0), command(u""), command(nullptr)}) {
        ASSERT_NE(panel, far::INVALID_HANDLE_VALUE);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(Listed(*host, panel), std::vector<String>{u"here"});
        exports.ClosePluginW(panel);
    }
    ASSERT_EQ(host->Messages().size(), 1u);  // "missing" was not found
}

}  // namespace
}  // namespace wm::test
