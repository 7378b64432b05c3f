#include "framework/FarConfig.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/settings/SettingsFixture.h"

namespace wm::test {
namespace {

using platform::RegistryCall;
using platform::RegistryType;

using FarConfig = SettingsTest;

TEST(FarConfigPaths, ResolveAgainstTheOpenKeyOrFromTheBase) {
    const struct {
        const char16_t *current, *path, *expected;
    } cases[] = {
        {u"", u"", u""},       {u"", u"\\folders\\", u"folders"},   {u"", u"folders", u"folders"},
        {u"a", u"", u"a"},     {u"a", u"b\\\\c\\\\", u"a\\b\\\\c"}, {u"a", u"\\\\b", u"b"},
        {u"a\\b", u"\\", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TFarConfig::ResolveKeyPath(c.current, c.path), c.expected)
            << ToUtf8(c.current) << " + " << ToUtf8(c.path);
    }
}

TEST_F(FarConfig, FoldersIsTheSiblingKeyWithTheNamesRunTogether) {
    TFarConfig config(u"Waymarks", false);
    ASSERT_TRUE(config.OpenKey(u"folders", false));
    ASSERT_TRUE(config.WriteString(u"v", u"one"));
    ASSERT_TRUE(config.OpenKey(u"\\folders\\", true));
    EXPECT_EQ(config.CurrentPath(), u"folders");
    EXPECT_EQ(config.ReadStringDef(u"v", u""), u"one");
    EXPECT_EQ(ReadRaw(EntriesPath(), u"v").second, Bytes(StringView(u"one\0", 4)));
    EXPECT_FALSE(KeyExists(OptionsPath() + u"\\folders"));
}

TEST_F(FarConfig, OpeningTheOpenKeyAsksNothingAndAFailedOpenCloses) {
    RefusingRegistry refusing;
    TFarConfig config(u"Waymarks", true);
    ASSERT_TRUE(config.IsOpen());
    EXPECT_TRUE(KeyExists(OptionsPath()));
    refusing.faults.ClearCalls();
    EXPECT_TRUE(config.OpenKey(u"", true));
    EXPECT_TRUE(config.OpenKey(u"\\", false));
    EXPECT_TRUE(refusing.faults.Calls().empty());

    EXPECT_FALSE(config.OpenKey(u"\\missing", true));
    EXPECT_FALSE(config.IsOpen());
    EXPECT_FALSE(KeyExists(rootKey + u"\\Waymarksmissing"));
    ASSERT_TRUE(config.OpenKey(u"\\missing\\a\\b", false));
    EXPECT_TRUE(KeyExists(rootKey + u"\\Waymarksmissing\\a\\b"));
}

TEST_F(FarConfig, AClosedStoreDoesNothingAndReadsGiveTheirDefaults) {
    WriteRaw(OptionsPath(), u"v", RegistryType::Qword, BytesOf(int64_t{7}));
    TFarConfig config(u"Waymarks", false);
    std::vector<String> names{u"stale"};
    EXPECT_EQ(config.ReadInt64Def(u"v", -5), -5);
    EXPECT_TRUE(config.ReadBoolDef(u"v", true));
    EXPECT_EQ(config.ReadStringDef(u"v", u"def"), u"def");
    EXPECT_FALSE(config.WriteInt64(u"v", 1) || config.WriteString(u"v", u"x") ||
                 config.DeleteValue(u"v") || config.DeleteKey(u"k") || config.EnumKeys(names));
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(ReadRaw(OptionsPath(), u"v").second, BytesOf(int64_t{7}));
}

TEST_F(FarConfig, ValuesReadByTheirTypes) {
    const struct {
        const char* what;
        RegistryType type;
        std::vector<uint8_t> data;
        std::optional<int64_t> number;
        std::optional<String> text;
    } cases[] = {
        {"dword with all bits set", RegistryType::Dword, BytesOf(0xFFFFFFFFu), 4294967295, {}},
        {"dword zero", RegistryType::Dword, BytesOf(0u), 0, {}},
        {"short dword", RegistryType::Dword, {1, 1}, 257, {}},
        {"long dword", RegistryType::Dword, BytesOf(int64_t{1}), {}, {}},
        {"qword", RegistryType::Qword, BytesOf(int64_t{-2}), -2, {}},
        {"string with its null", RegistryType::String, Bytes(StringView(u"ab\0", 3)), {}, u"ab"},
        {"string without it", RegistryType::String, Bytes(u"ab"), {}, u"ab"},
        {"empty string", RegistryType::String, Bytes(StringView(u"\0", 1)), {}, u""},
        {"no bytes", RegistryType::String, {}, {}, u""},
        {"odd byte count", RegistryType::String, {'a', 0, 'b'}, {}, u"a"},
        {"numeric text", RegistryType::String, Bytes(u"1"), {}, u"1"},
        {"expandable", RegistryType::ExpandString, Bytes(StringView(u"%x%\0", 4)), {}, u"%x%"},
        {"multi-string",
         RegistryType::MultiString,
         Bytes(StringView(u"a\0b\0\0", 5)),
         {},
         String(u"a\0b\0\0", 5)},
        {"binary", RegistryType::Binary, {1, 0, 0, 0}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteRaw(OptionsPath(), u"v", c.type, c.data);
        TFarConfig config(u"Waymarks", true);
        int64_t number = 99;
        bool flag = false;
        String text;
        EXPECT_EQ(config.ReadInt64(u"v", number), c.number.has_value());
        EXPECT_EQ(config.ReadBool(u"v", flag), c.number.has_value());
        EXPECT_EQ(config.ReadString(u"v", text), c.text.has_value());
        EXPECT_EQ(number, c.number.value_or(99));
        EXPECT_EQ(flag, c.number.value_or(0) != 0);
        EXPECT_EQ(text, c.text.value_or(u""));
    }
}

TEST_F(FarConfig, WritesStoreQwordsAndTerminatedStrings) {
    TFarConfig config(u"Waymarks", true);
    ASSERT_TRUE(config.WriteBool(u"b", true) && config.WriteInt64(u"i", -1) &&
                config.WriteString(u"s", u"t\u00E9") && config.WriteString(u"", u""));
    EXPECT_EQ(ReadRaw(OptionsPath(), u"b"), std::pair(RegistryType::Qword, BytesOf(int64_t{1})));
    EXPECT_EQ(ReadRaw(OptionsPath(), u"i"), std::pair(RegistryType::Qword, BytesOf(int64_t{-1})));
    EXPECT_EQ(ReadRaw(OptionsPath(), u"s"),
              std::pair(RegistryType::String, Bytes(StringView(u"t\u00E9\0", 3))));
    EXPECT_EQ(ReadRaw(OptionsPath(), u"").second, Bytes(StringView(u"\0", 1)));
}

TEST_F(FarConfig, AnIntegerRefusedAsQwordFallsBackToADwordWhenItFits) {
    RefusingRegistry refusing;
    refusing.faults.FailWhen([](const auto& call) { return call.type == RegistryType::Qword; });
    TFarConfig config(u"Waymarks", true);
    for (int64_t value :
         {int64_t{0}, int64_t{16}, int64_t{4294967295}, int64_t{-1}, int64_t{4294967296}}) {
        config.DeleteValue(u"v");
        const bool fits = value >= 0 && value <= 4294967295;
        EXPECT_EQ(config.WriteInt64(u"v", value), fits) << value;
        const auto stored = ReadRaw(OptionsPath(), u"v");
        EXPECT_EQ(stored.first, fits ? RegistryType::Dword : RegistryType::None) << value;
        EXPECT_EQ(config.ReadInt64Def(u"v", -7), fits ? value : -7);
    }
    refusing.faults.Fail(RegistryCall::WriteValue);
    EXPECT_FALSE(config.WriteBool(u"v", true));
}

TEST_F(FarConfig, DeleteKeyRemovesOnlyAKeyWithoutSubkeysAndStaysOpen) {
    TFarConfig config(u"Waymarks", false);
    ASSERT_TRUE(config.OpenKey(u"folders\\group\\inner", false));
    ASSERT_TRUE(config.OpenKey(u"\\folders\\leaf", false));
    ASSERT_TRUE(config.OpenKey(u"\\folders", true));
    EXPECT_FALSE(config.DeleteKey(u"group"));
    EXPECT_TRUE(config.DeleteKey(u"LEAF"));
    EXPECT_FALSE(config.DeleteKey(u"leaf"));
    EXPECT_EQ(config.CurrentPath(), u"folders");
    std::vector<String> names;
    EXPECT_TRUE(config.EnumKeys(names));
    EXPECT_EQ(names, std::vector<String>{u"group"});
}

TEST_F(FarConfig, ValuesReadAtOnceServeUntilTheKeyIsWrittenOrClosed) {
    TFarConfig config(u"Waymarks", true);
    ASSERT_TRUE(config.WriteString(u"Name", u"old"));
    ASSERT_TRUE(config.WriteInt64(u"n", 5));
    ASSERT_TRUE(config.LoadValues());
    EXPECT_EQ(config.ReadStringDef(u"NAME", u""), u"old");
    EXPECT_EQ(config.ReadInt64Def(u"N", 0), 5);
    EXPECT_EQ(config.ReadStringDef(u"n", u"other type"), u"other type");
    EXPECT_EQ(config.ReadStringDef(u"missing", u"none"), u"none");
    ASSERT_TRUE(config.WriteString(u"name", u"new"));
    EXPECT_EQ(config.ReadStringDef(u"Name", u""), u"new");
    ASSERT_TRUE(config.LoadValues());
    // Another writer's change is read once the key is opened again.
    WriteRaw(OptionsPath(), u"Name", RegistryType::String, Bytes(StringView(u"raw\0", 4)));
    config.CloseKey();
    ASSERT_TRUE(config.OpenKey(u"", true));
    EXPECT_EQ(config.ReadStringDef(u"Name", u""), u"raw");
}

TEST_F(FarConfig, ListingReportsARefusalPartWay) {
    RawKey(EntriesPath());
    for (const char16_t* name : {u"b", u"a", u"c"}) RawKey(EntriesPath() + u"\\" + name);
    RefusingRegistry refusing;
    refusing.faults.FailWhen(
        [](const auto& call) { return call.call == RegistryCall::EnumSubKey && call.index == 2; });
    TFarConfig config(u"Waymarks", false);
    ASSERT_TRUE(config.OpenKey(u"\\folders", true));
    std::vector<String> names;
    EXPECT_FALSE(config.EnumKeys(names));
    EXPECT_EQ(names, (std::vector<String>{u"a", u"b"}));
    refusing.faults.ClearFaults();
    EXPECT_TRUE(config.EnumKeys(names));
    EXPECT_EQ(names.size(), 3u);
}

}  // namespace
}  // namespace wm::test
