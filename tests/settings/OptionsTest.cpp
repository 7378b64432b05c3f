#include "plugin/uOptions.h"

#include <gtest/gtest.h>

#include "plugin/uFunctions.h"
#include "tests/settings/SettingsFixture.h"

namespace wm::test {
namespace {

using platform::RegistryCall;
using platform::RegistryType;

using Options = SettingsTest;

constexpr Guid kSampleId{
    0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};

TWaymarkInfo Entry(StringView name, StringView directory = u"/dir") {
    TWaymarkInfo info;
    info.Name = name;
    info.Directory = directory;
    return info;
}

TEST_F(Options, AFreshProfileGetsTheDefaultsAndTheOptionsKey) {
    const TOptions options;
    EXPECT_TRUE(KeyExists(OptionsPath()));
    EXPECT_FALSE(options.IsOpen());
    EXPECT_EQ(options.LastPanelDir, u"LastPanelDir");
    EXPECT_TRUE(options.AllowFuzzySearch);
    EXPECT_FALSE(options.SaveLastPanelDir || options.UseSubstEngines ||
                 options.UseSubstEngine_Known || options.UseSubstEngines_Env ||
                 options.UseSubstEngines_BatchEnv || options.UseSubstEngines_Reg ||
                 options.AllowPathSuffix || options.AllowPluginCalls || options.AllowSearchOverDir);
}

TEST_F(Options, SaveWritesEveryOptionUnderItsNameAndLoadReadsItBack) {
    {
        TOptions options;
        options.LastPanelDir = u"Work";
        options.UseSubstEngine_Known = true;
        options.AllowFuzzySearch = false;
        EXPECT_TRUE(options.Save());
    }
    EXPECT_EQ(ReadRaw(OptionsPath(), u"LastPanelDir").second, Bytes(StringView(u"Work\0", 5)));
    EXPECT_EQ(ReadRaw(OptionsPath(), u"UseSubstEngine_Known"),
              std::pair(RegistryType::Qword, BytesOf(int64_t{1})));
    EXPECT_EQ(ReadRaw(OptionsPath(), u"AllowFuzzySearch").second, BytesOf(int64_t{0}));
    // A DWORD counts as a number; a string is no Boolean and leaves the default.
    WriteRaw(OptionsPath(), u"AllowPathSuffix", RegistryType::Dword, BytesOf(uint32_t{2}));
    WriteRaw(OptionsPath(), u"UseSubstEngine_Known", RegistryType::String, Bytes(u"1"));
    const TOptions options;
    EXPECT_EQ(options.LastPanelDir, u"Work");
    EXPECT_FALSE(options.AllowFuzzySearch);
    EXPECT_TRUE(options.AllowPathSuffix);
    EXPECT_FALSE(options.UseSubstEngine_Known);
}

TEST_F(Options, ARefusingRegistryLeavesTheDefaultsAndReportsTheSave) {
    WriteRaw(OptionsPath(), u"AllowFuzzySearch", RegistryType::Qword, BytesOf(int64_t{0}));
    RefusingRegistry refusing;
    refusing.faults.Fail(RegistryCall::CreateKey);
    TOptions options;
    EXPECT_TRUE(options.AllowFuzzySearch);
    EXPECT_FALSE(options.Save());
    refusing.faults.ClearFaults();
    refusing.faults.Fail(RegistryCall::WriteValue);
    EXPECT_FALSE(options.Save());
}

TEST_F(Options, AStoreThatFailsPartWayLeavesTheOldEntryOrNone) {
    TWaymarkInfo old;
    old.SetName(u"g/w");
    old.Directory = u"/old";
    old.Description = u"old words";
    ASSERT_TRUE(TOptions().WriteEntry(old));
    TWaymarkInfo changed = old;
    changed.Directory = u"/new";
    changed.Description = u"new words";
    changed.Param = u"p";
    TWaymarkInfo fresh = changed;
    fresh.SetName(u"g/fresh");
    // With the writes undone together (the stand-in) and each on its own (the Windows registry).
    for (const bool grouped : {true, false}) {
        SCOPED_TRACE(grouped ? "grouped" : "one by one");
        for (const char16_t* failing : {u"Param", u"Description", u"Flags", u"Directory"}) {
            SCOPED_TRACE(ToUtf8(failing));
            RefusingRegistry refusing;
            refusing.faults.RefuseWriteGroups(!grouped);
            refusing.faults.FailWhen([&](const platform::RegistryCallInfo& call) {
                return call.call == RegistryCall::WriteValue && call.name == failing;
            });
            TOptions options;
            EXPECT_FALSE(options.WriteEntry(changed));
            EXPECT_FALSE(options.WriteEntry(fresh));
            refusing.faults.ClearFaults();
            const auto kept = options.ReadEntry(u"g/w");
            ASSERT_NE(kept, nullptr);
            EXPECT_EQ(kept->Directory, u"/old");
            EXPECT_EQ(kept->Description, u"old words");
            EXPECT_EQ(kept->Param, u"");
            EXPECT_FALSE(KeyExists(EntriesPath() + u"\\g/fresh"));
        }
    }
}

TEST_F(Options, BadNamesAreRefusedBeforeTheRegistryIsTouched) {
    const struct {
        const char16_t* name;
        const char16_t* message;
    } bad[] = {
        {u"", u"Message 10"},     {u"/", u"Message 10"},   {u".", u"Message 10"},
        {u"a/..", u"Message 10"}, {u"a:b", u"Message 11"}, {u"a*?", u"Message 11"},
        {u"a^b", u"Message 11"},  {u"a|b", u"Message 11"}, {u"a\x1F", u"Message 11"},
    };
    RefusingRegistry refusing;
    TOptions options;
    refusing.faults.ClearCalls();
    for (const auto& b : bad) {
        SCOPED_TRACE(ToUtf8(b.name));
        const auto expectRefused = [&](auto operation) {
            try {
                operation();
                ADD_FAILURE() << "accepted";
            } catch (const EWaymarkError& error) {
                EXPECT_EQ(error.Message(), b.message);
            }
        };
        expectRefused([&] { TOptions::ValidateName(b.name); });
        expectRefused([&] { options.ReadEntry(b.name); });
        expectRefused([&] { options.WriteEntry(Entry(b.name)); });
        expectRefused([&] { options.DeleteEntry(b.name); });
    }
    EXPECT_TRUE(refusing.faults.Calls().empty());
    EXPECT_EQ(TOptions::ValidateName(u"a\\.\\b/"), u"a/b");
    EXPECT_EQ(TOptions::ValidateName(u" <x> \"y\" "), u" <x> \"y\" ");
}

TEST_F(Options, AnEntryIsOneKeyNamedByItsNormalFormAndFoundWhateverTheCase) {
    TOptions options;
    TWaymarkInfo info = Entry(u"Work\\Projects", u"C:\\Projects");
    info.PluginID = kSampleId;
    info.Param = u"param";
    info.HostFile = u"host.file";
    info.Description = u"My projects";
    info.Flags = static_cast<int32_t>(0x80000001);
    ASSERT_TRUE(options.WriteEntry(info));
    EXPECT_FALSE(options.IsOpen());

    const String key = EntriesPath() + u"\\Work/Projects";
    EXPECT_EQ(ReadRaw(key, u"PluginID").second,
              Bytes(StringView(u"{01234567-89AB-CDEF-0123-456789ABCDEF}\0", 39)));
    EXPECT_EQ(ReadRaw(key, u"Flags"),
              std::pair(RegistryType::Qword, BytesOf(int64_t{-2147483647})));
    EXPECT_EQ(options.EnumEntryNames(), std::vector<String>{u"Work/Projects"});

    const auto read = options.ReadEntry(u"work/projects");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Name, u"Work/Projects");  // as stored
    EXPECT_EQ(std::tie(read->Directory, read->Param, read->HostFile, read->Description),
              std::tie(info.Directory, info.Param, info.HostFile, info.Description));
    EXPECT_EQ(read->PluginID, kSampleId);
    EXPECT_EQ(read->Flags, info.Flags);
}

TEST_F(Options, TheNullGuidRemovesAStoredPluginId) {
    TOptions options;
    TWaymarkInfo info = Entry(u"a");
    info.PluginID = kSampleId;
    ASSERT_TRUE(options.WriteEntry(info));
    info.PluginID = NullGuid;
    ASSERT_TRUE(options.WriteEntry(info));
    EXPECT_EQ(ReadRaw(EntriesPath() + u"\\a", u"PluginID").first, RegistryType::None);
    EXPECT_TRUE(options.WriteEntry(info));  // nothing left to remove is no failure
}

TEST_F(Options, StoredValuesReadLeniently) {
    const String key = EntriesPath() + u"\\e";
    WriteRaw(key, u"Directory", RegistryType::String, Bytes(u"/e"));
    WriteRaw(key, u"PluginID", RegistryType::String,
             Bytes(u"{00000000-0000-0000-0000-000000000000}"));
    WriteRaw(key, u"Flags", RegistryType::Dword, BytesOf(uint32_t{16}));
    TOptions options;
    auto info = options.ReadEntry(u"E");
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(IsNullGuid(info->PluginID));
    EXPECT_TRUE(info->IsGroup());
    EXPECT_EQ(info->Param, u"");
    info->Flags |= 1;
    info->SetIsGroup(false);
    EXPECT_EQ(info->Flags, 1);
    info->SetIsGroup(true);
    ASSERT_TRUE(options.WriteEntry(*info));
    EXPECT_EQ(ReadRaw(key, u"Flags"), std::pair(RegistryType::Qword, BytesOf(int64_t{17})));

    WriteRaw(key, u"PluginID", RegistryType::String, Bytes(u""));
    EXPECT_TRUE(IsNullGuid(options.ReadEntry(u"e")->PluginID));
    WriteRaw(key, u"PluginID", RegistryType::String, Bytes(u"x"));
    try {
        options.ReadEntry(u"e");
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), u"'x' is not a valid GUID value");
    }
    EXPECT_FALSE(options.IsOpen());
}

TEST_F(Options, AKeyWithoutAStringDirectoryIsNoEntry) {
    WriteRaw(EntriesPath() + u"\\dword", u"Directory", RegistryType::Dword, BytesOf(uint32_t{1}));
    RawKey(EntriesPath() + u"\\empty");
    TOptions options;
    for (const char16_t* name : {u"dword", u"empty", u"missing"}) {
        EXPECT_EQ(options.ReadEntry(name), nullptr) << ToUtf8(name);
    }
}

TEST_F(Options, EntriesAreListedAndDeleted) {
    TOptions options;
    EXPECT_EQ(options.EnumEntryNames(), std::vector<String>{});
    EXPECT_FALSE(options.DeleteEntry(u"a"));
    EXPECT_FALSE(KeyExists(EntriesPath()));
    for (const char16_t* name : {u"b", u"a/x", u"A"}) ASSERT_TRUE(options.WriteEntry(Entry(name)));
    EXPECT_EQ(options.EnumEntryNames(), (std::vector<String>{u"A", u"a/x", u"b"}));
    EXPECT_TRUE(options.DeleteEntry(u"a\\x"));
    EXPECT_FALSE(options.DeleteEntry(u"a/x"));
    EXPECT_EQ(options.EnumEntryNames(), (std::vector<String>{u"A", u"b"}));
}

TEST_F(Options, RegistryRefusalsAreReported) {
    RefusingRegistry refusing;
    TOptions options;
    refusing.faults.FailWhen([](const auto& call) { return call.name == u"Description"; });
    EXPECT_FALSE(options.WriteEntry(Entry(u"a")));
    // Nothing of the failed store is kept: undone together where the registry can, and the new
    // key taken away again where it writes value by value.
    EXPECT_FALSE(KeyExists(EntriesPath() + u"\\a"));
    refusing.faults.Fail(RegistryCall::CreateKey);
    refusing.faults.Fail(RegistryCall::OpenKey);
    EXPECT_FALSE(options.WriteEntry(Entry(u"b")));
    EXPECT_EQ(options.EnumEntryNames(), std::vector<String>{});
    EXPECT_FALSE(options.DeleteEntry(u"a"));
    EXPECT_EQ(options.ReadEntry(u"a"), nullptr);
}

}  // namespace
}  // namespace wm::test

namespace wm::test {
namespace {

TEST_F(Options, AStoreThatFailsPartWayLeavesTheOldEntryWhole) {
    {
        platform::RegistryWriteGroup probe(registry);
        if (!probe.Started()) GTEST_SKIP() << "this registry writes value by value";
    }
    TWaymarkInfo old;
    old.Name = u"w";
    old.Directory = u"/old";
    old.Description = u"old text";
    ASSERT_TRUE(TOptions().WriteEntry(old));

    TWaymarkInfo fresh = old;
    fresh.Directory = u"/new";
    fresh.Description = u"new text";
    {
        RefusingRegistry refusing;
        refusing.faults.FailWhen([](const platform::RegistryCallInfo& call) {
            return call.call == RegistryCall::WriteValue && call.name == u"Flags";
        });
        EXPECT_FALSE(TOptions().WriteEntry(fresh));
    }
    auto read = TOptions().ReadEntry(u"w");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Directory, u"/old");
    EXPECT_EQ(read->Description, u"old text");

    // A new entry whose store fails leaves no key behind.
    TWaymarkInfo group;
    group.Name = u"g";
    group.SetIsGroup(true);
    {
        RefusingRegistry refusing;
        refusing.faults.FailWhen([](const platform::RegistryCallInfo& call) {
            return call.call == RegistryCall::WriteValue && call.name == u"Flags";
        });
        EXPECT_FALSE(TOptions().WriteEntry(group));
    }
    EXPECT_EQ(TOptions().ReadEntry(u"g"), nullptr);
    EXPECT_EQ(TOptions().EnumEntryNames(), std::vector<String>{u"w"});
}

}  // namespace
}  // namespace wm::test
