// One behaviour suite for every registry: the stand-in on Linux, the real one under wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/registry/Scratch.h"

namespace wm::test {
namespace {

using platform::RegistryKey;
using platform::RegistryStatus;
using platform::RegistryType;
using Bytes = std::vector<uint8_t>;

constexpr auto kHkcu = platform::RegistryRoot::CurrentUser;
constexpr auto kOk = RegistryStatus::Ok;

Bytes TextBytes(StringView text) {
    Bytes bytes(text.size() * 2);
    if (!text.empty()) std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}

class RegistryBehaviour : public ::testing::Test {
protected:
    RegistryKey Create(StringView relative) {
        RegistryKey key;
        EXPECT_EQ(registry.CreateKey(kHkcu, scratch.Below(relative), key), kOk);
        return key;
    }
    RegistryStatus Open(StringView relative) {
        RegistryKey key;
        return registry.OpenKey(kHkcu, scratch.Below(relative), key);
    }
    std::vector<String> Children(const RegistryKey& key) {
        std::vector<String> names;
        String name;
        for (uint32_t i = 0; registry.EnumSubKey(key, i, name) == kOk; ++i) names.push_back(name);
        return names;
    }
    String At(uint32_t index) {
        String name;
        EXPECT_EQ(registry.EnumSubKey(root, index, name), kOk) << index;
        return name;
    }

    platform::Registry& registry = platform::CurrentRegistry();
    ScratchKey scratch{u"registry"};
    RegistryKey root = Create(u"");
    RegistryType type = RegistryType::None;
    uint32_t size = 0;
    Bytes data;
};

TEST_F(RegistryBehaviour, CreateMakesEveryMissingKeyAndPathsSkipEmptyComponents) {
    Create(u"a\\b\\c");
    const struct {
        const char16_t* relative;
        RegistryStatus expected;
    } cases[] = {
        {u"a", kOk},
        {u"A\\B", kOk},
        {u"a\\\\b\\c", kOk},
        {u"a\\b\\c\\\\", kOk},
        {u"a\\c", RegistryStatus::FileNotFound},
        {u"a/b", RegistryStatus::FileNotFound},
    };
    for (const auto& c : cases) EXPECT_EQ(Open(c.relative), c.expected) << ToUtf8(c.relative);
    EXPECT_EQ(Children(root), std::vector<String>{u"a"});

    RegistryKey key;
    EXPECT_EQ(registry.CreateKey(kHkcu, u"\\" + scratch.Below(u"n"), key),
              RegistryStatus::BadPathName);
    EXPECT_EQ(registry.OpenKey(kHkcu, u"\\" + scratch.Path(), key), RegistryStatus::BadPathName);
    EXPECT_FALSE(key.IsOpen());
    EXPECT_EQ(registry.OpenKey(kHkcu, u"", key), kOk);  // the root itself
}

TEST_F(RegistryBehaviour, NamesIgnoreCaseKeepTheirCaseAndMayHoldSlashes) {
    for (const char16_t* name : {u"Mixed", u"MIXED\\Child", u"\u00C4rger", u"\u00E4RGER", u"x/y"}) {
        Create(name);
    }
    EXPECT_EQ(Children(root), (std::vector<String>{u"Mixed", u"x/y", u"\u00C4rger"}));
    EXPECT_EQ(Open(u"mixed\\CHILD"), kOk);
    EXPECT_EQ(Open(u"x"), RegistryStatus::FileNotFound);

    ASSERT_EQ(registry.WriteValue(root, u"Value", RegistryType::Binary, Bytes{1}), kOk);
    ASSERT_EQ(registry.WriteValue(root, u"VALUE", RegistryType::Binary, Bytes{2, 2}), kOk);
    ASSERT_EQ(registry.ReadValue(root, u"value", type, data), kOk);
    EXPECT_EQ(data, (Bytes{2, 2}));
}

TEST_F(RegistryBehaviour, AKeyNameHoldsAtMost255Characters) {
    Create(String(255, u'n'));
    EXPECT_EQ(Children(root), std::vector<String>{String(255, u'n')});
    RegistryKey key;
    EXPECT_EQ(registry.CreateKey(kHkcu, scratch.Below(String(300, u'n')), key),
              RegistryStatus::InvalidParameter);
    EXPECT_EQ(Open(String(300, u'n')), RegistryStatus::InvalidParameter);
}

TEST_F(RegistryBehaviour, DeleteIsRefusedWhileTheKeyHasSubkeys) {
    Create(u"p\\c");
    EXPECT_EQ(registry.DeleteSubKey(root, u"p"), RegistryStatus::AccessDenied);
    EXPECT_EQ(registry.DeleteSubKey(root, u"p\\c"), kOk);
    EXPECT_EQ(registry.DeleteSubKey(root, u"P"), kOk);
    EXPECT_EQ(registry.DeleteSubKey(root, u"p"), RegistryStatus::FileNotFound);
    EXPECT_TRUE(Children(root).empty());
}

TEST_F(RegistryBehaviour, EnumerationByIndexFollowsTheListAsItIsNow) {
    String name;
    EXPECT_EQ(registry.EnumSubKey(root, 0, name), RegistryStatus::NoMoreItems);
    for (const char16_t* child : {u"b", u"A", u"c/d", u"B2"}) Create(child);
    EXPECT_EQ(Children(root), (std::vector<String>{u"A", u"b", u"B2", u"c/d"}));
    EXPECT_EQ(registry.EnumSubKey(root, 4, name), RegistryStatus::NoMoreItems);
    EXPECT_EQ(At(2), u"B2");
    EXPECT_EQ(At(1), u"b");
    // Deleting or adding a key shifts the indexes after it.
    ASSERT_EQ(registry.DeleteSubKey(root, At(0)), kOk);
    EXPECT_EQ(At(1), u"B2");
    Create(u"0");
    EXPECT_EQ(At(2), u"B2");
}

TEST_F(RegistryBehaviour, ValuesKeepTheirTypeAndExactBytes) {
    const struct {
        const char* what;
        RegistryType type;
        Bytes data;
    } cases[] = {
        {"string with its null", RegistryType::String, TextBytes(StringView(u"ab\0", 3))},
        {"string without a null", RegistryType::String, TextBytes(u"ab")},
        {"odd byte count", RegistryType::String, {'a', 0, 'b'}},
        {"empty string", RegistryType::String, {}},
        {"expandable", RegistryType::ExpandString, TextBytes(StringView(u"%x%\0", 4))},
        {"multi-string", RegistryType::MultiString, TextBytes(StringView(u"a\0b\0\0", 5))},
        {"binary", RegistryType::Binary, {1, 0, 255}},
        {"dword", RegistryType::Dword, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"short dword", RegistryType::Dword, {1, 2, 3}},
        {"qword", RegistryType::Qword, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"unknown type", static_cast<RegistryType>(0x1234), {9}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(registry.WriteValue(root, u"v", c.type, c.data), kOk);
        ASSERT_EQ(registry.QueryValue(root, u"v", type, size), kOk);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(size, c.data.size());
        data = {42};
        ASSERT_EQ(registry.ReadValue(root, u"v", type, data), kOk);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(data, c.data);
    }
}

TEST_F(RegistryBehaviour, TheEmptyNameIsTheDefaultValueAndMissingValuesAreNotFound) {
    EXPECT_EQ(registry.QueryValue(root, u"", type, size), RegistryStatus::FileNotFound);
    EXPECT_EQ(registry.ReadValue(root, u"v", type, data), RegistryStatus::FileNotFound);
    EXPECT_EQ(registry.DeleteValue(root, u"v"), RegistryStatus::FileNotFound);
    ASSERT_EQ(registry.WriteValue(root, u"", RegistryType::String, TextBytes(u"d")), kOk);
    ASSERT_EQ(registry.ReadValue(root, u"", type, data), kOk);
    EXPECT_EQ(data, TextBytes(u"d"));
    EXPECT_EQ(registry.DeleteValue(root, u""), kOk);
    EXPECT_EQ(registry.QueryValue(root, u"", type, size), RegistryStatus::FileNotFound);
}

TEST_F(RegistryBehaviour, ValuesAreEnumeratedByIndexWithTheNamesAsCreated) {
    String name;
    EXPECT_EQ(registry.EnumValue(root, 0, name), RegistryStatus::NoMoreItems);
    for (const char16_t* value : {u"Beta", u"alpha", u"", u"a/b"}) {
        ASSERT_EQ(registry.WriteValue(root, value, RegistryType::String, TextBytes(u"x")), kOk);
    }
    std::vector<String> names;
    for (uint32_t i = 0; registry.EnumValue(root, i, name) == kOk; ++i) names.push_back(name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<String>{u"", u"Beta", u"a/b", u"alpha"}));
    EXPECT_EQ(registry.EnumValue(root, 4, name), RegistryStatus::NoMoreItems);
}

TEST_F(RegistryBehaviour, NamesWithUnpairedSurrogatesComeBackAsMade) {
    const std::vector<String> made{
        {u'a', char16_t(0xD800)}, {char16_t(0xDC00), u'b'}, {char16_t(0xDC00), char16_t(0xD800)}};
    for (const String& name : made) {
        Create(name);
        ASSERT_EQ(registry.WriteValue(root, name, RegistryType::Binary, Bytes{1}), kOk);
    }
    const auto sorted = [](std::vector<String> names) {
        std::sort(names.begin(), names.end());
        return names;
    };
    std::vector<String> values;
    String name;
    for (uint32_t i = 0; registry.EnumValue(root, i, name) == kOk; ++i) values.push_back(name);
    EXPECT_EQ(sorted(values), sorted(made));
    const std::vector<String> children = Children(root);
    ASSERT_EQ(sorted(children), sorted(made));
    EXPECT_EQ(Open(String{u'A', char16_t(0xD800)}), kOk);
    for (const String& child : children) {
        EXPECT_EQ(registry.ReadValue(root, child, type, data), kOk);
        EXPECT_EQ(registry.DeleteValue(root, child), kOk);
        EXPECT_EQ(registry.DeleteSubKey(root, child), kOk);
    }
    EXPECT_TRUE(Children(root).empty());
}

TEST_F(RegistryBehaviour, AKeyOpenedWithFewerRightsRefusesTheRest) {
    Create(u"k\\child");
    ASSERT_EQ(registry.WriteValue(root, u"v", RegistryType::Binary, Bytes{1}), kOk);
    String name;
    RegistryKey reader, querier;
    ASSERT_EQ(registry.OpenKeyWithAccess(kHkcu, scratch.Path(), platform::KeyRead, reader), kOk);
    EXPECT_EQ(registry.QueryValue(reader, u"v", type, size), kOk);
    EXPECT_EQ(registry.EnumSubKey(reader, 0, name), kOk);
    EXPECT_EQ(registry.WriteValue(reader, u"v", RegistryType::Binary, Bytes{2}),
              RegistryStatus::AccessDenied);
    EXPECT_EQ(registry.DeleteValue(reader, u"v"), RegistryStatus::AccessDenied);

    ASSERT_EQ(registry.OpenKeyWithAccess(kHkcu, scratch.Path(), platform::KeyQueryValue, querier),
              kOk);
    EXPECT_EQ(registry.EnumSubKey(querier, 0, name), RegistryStatus::AccessDenied);
    EXPECT_EQ(registry.DeleteSubKey(querier, u"k\\child"), kOk);  // asks nothing of the parent
}

TEST_F(RegistryBehaviour, AHandleToADeletedKeyReportsItGone) {
    RegistryKey key = Create(u"gone"), unopened;
    ASSERT_EQ(registry.DeleteSubKey(root, u"gone"), kOk);
    Create(u"gone");  // another key of the same name
    String name;
    EXPECT_EQ(registry.WriteValue(key, u"v", RegistryType::Binary, Bytes{1}),
              RegistryStatus::KeyDeleted);
    EXPECT_EQ(registry.QueryValue(key, u"v", type, size), RegistryStatus::KeyDeleted);
    EXPECT_EQ(registry.DeleteValue(key, u"v"), RegistryStatus::KeyDeleted);
    EXPECT_EQ(registry.EnumSubKey(key, 0, name), RegistryStatus::KeyDeleted);
    EXPECT_EQ(registry.QueryValue(unopened, u"v", type, size), RegistryStatus::InvalidHandle);
}

// The one-reading calls answer what the calls by index answer, key by key and value by value.
TEST_F(RegistryBehaviour, AWholeListingAndAWholeReadingMatchTheCallsByIndex) {
    const auto listed = [&](const RegistryKey& key, size_t stopAfter = SIZE_MAX) {
        std::vector<String> names;
        EXPECT_EQ(registry.ListSubKeys(key,
                                       [&](StringView name) {
                                           names.emplace_back(name);
                                           return names.size() < stopAfter;
                                       }),
                  kOk);
        return names;
    };
    EXPECT_TRUE(listed(root).empty());
    for (const char16_t* child : {u"b", u"A", u"c/d", u"B2", u"\u00E4"}) Create(child);
    EXPECT_EQ(listed(root), Children(root));
    EXPECT_EQ(listed(root, 2), (std::vector<String>{u"A", u"b"}));

    std::vector<platform::RegistryValue> values;
    ASSERT_EQ(registry.ReadValues(root, values), kOk);
    EXPECT_TRUE(values.empty());
    const Bytes large(3000, 7);  // more than a first guess at the size
    ASSERT_EQ(registry.WriteValue(root, u"Text", RegistryType::String, TextBytes(u"x")), kOk);
    ASSERT_EQ(registry.WriteValue(root, u"", RegistryType::Binary, large), kOk);
    ASSERT_EQ(registry.WriteValue(root, u"n", RegistryType::Dword, Bytes{1, 0, 0, 0}), kOk);
    ASSERT_EQ(registry.ReadValues(root, values), kOk);
    ASSERT_EQ(values.size(), 3u);
    for (uint32_t i = 0; i < values.size(); ++i) {
        String name;
        ASSERT_EQ(registry.EnumValue(root, i, name), kOk);
        EXPECT_EQ(values[i].name, name);
        ASSERT_EQ(registry.ReadValue(root, name, type, data), kOk);
        EXPECT_EQ(values[i].type, type) << ToUtf8(name);
        EXPECT_EQ(values[i].data, data) << ToUtf8(name);
    }

    RegistryKey gone = Create(u"gone");
    ASSERT_EQ(registry.DeleteSubKey(root, u"gone"), kOk);
    EXPECT_EQ(registry.ListSubKeys(gone, [](StringView) { return true; }),
              RegistryStatus::KeyDeleted);
    EXPECT_EQ(registry.ReadValues(gone, values), RegistryStatus::KeyDeleted);
}

TEST_F(RegistryBehaviour, SubKeysWithTheirValuesMatchTheListingAndTheReadings) {
    const auto read = [&](StringView prefix, size_t stopAfter = SIZE_MAX) {
        std::vector<std::pair<String, std::vector<platform::RegistryValue>>> keys;
        EXPECT_EQ(registry.ReadSubKeys(root, prefix,
                                       [&](StringView name, const auto& values) {
                                           keys.emplace_back(String(name), values);
                                           return keys.size() < stopAfter;
                                       }),
                  kOk);
        return keys;
    };
    EXPECT_TRUE(read(u"").empty());
    for (const char16_t* child : {u"g/b", u"G/a", u"g/c/d", u"h", u"empty"}) {
        RegistryKey key = Create(child);
        if (StringView(child) == u"empty") continue;
        // Written out of name order: the reading keeps the registry's own, as ReadValues does.
        ASSERT_EQ(registry.WriteValue(key, u"Z", RegistryType::String, TextBytes(child)), kOk);
        ASSERT_EQ(registry.WriteValue(key, u"a", RegistryType::Dword, Bytes{2, 0, 0, 0}), kOk);
    }
    const auto all = read(u"");
    std::vector<String> names;
    for (const auto& [name, values] : all) names.push_back(name);
    EXPECT_EQ(names, Children(root));
    for (const auto& [name, values] : all) {
        RegistryKey key;
        ASSERT_EQ(registry.OpenSubKey(root, name, key), kOk);
        std::vector<platform::RegistryValue> one;
        ASSERT_EQ(registry.ReadValues(key, one), kOk);
        ASSERT_EQ(values.size(), one.size()) << ToUtf8(name);
        for (size_t i = 0; i < one.size(); ++i) {
            EXPECT_EQ(values[i].name, one[i].name);
            EXPECT_EQ(values[i].data, one[i].data);
        }
    }

    // The prefix ignores case; the names come as created.
    const auto g = read(u"G/");
    ASSERT_EQ(g.size(), 3u);
    EXPECT_EQ(g[0].first, u"G/a");
    const auto z = std::find_if(g[0].second.begin(), g[0].second.end(),
                                [](const auto& value) { return value.name == u"Z"; });
    ASSERT_NE(z, g[0].second.end());
    EXPECT_EQ(z->data, TextBytes(u"G/a"));
    EXPECT_EQ(read(u"g/", 1).size(), 1u);
    EXPECT_TRUE(read(u"x").empty());

    RegistryKey gone = Create(u"gone");
    ASSERT_EQ(registry.DeleteSubKey(root, u"gone"), kOk);
    EXPECT_EQ(registry.ReadSubKeys(gone, u"", [](StringView, const auto&) { return true; }),
              RegistryStatus::KeyDeleted);
}

TEST_F(RegistryBehaviour, AKeyTellsItsNameAsCreated) {
    Create(u"Mixed Case/Name");
    RegistryKey key;
    ASSERT_EQ(registry.OpenKey(kHkcu, scratch.Below(u"MIXED case/name"), key), kOk);
    String name;
    ASSERT_EQ(registry.KeyName(key, name), kOk);
    EXPECT_EQ(name, u"Mixed Case/Name");
}

}  // namespace
}  // namespace wm::test
