#include "plugin/uFunctions.h"

#include <gtest/gtest.h>

#include "tests/settings/SettingsFixture.h"

namespace wm::test {
namespace {

TEST(PathHelpers, SplitAtEitherSeparator) {
    const struct {
        const char16_t *path, *last, *parent;
    } cases[] = {
        {u"a/b\\c", u"c", u"a/b\\"}, {u"abc", u"abc", u""}, {u"a/", u"", u"a/"}, {u"", u"", u""},
        {u"/a", u"a", u"/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractLastComponent(c.path), c.last) << ToUtf8(c.path);
        EXPECT_EQ(ExtractParentPath(c.path), c.parent) << ToUtf8(c.path);
    }

    const struct {
        const char16_t* path;
        bool result;
        const char16_t *first, *firstRest, *last, *lastRest;
    } splits[] = {
        {u"", false, u"", u"", u"", u""},    {u"abc", true, u"abc", u"", u"abc", u""},
        {u"/a", true, u"", u"a", u"a", u""}, {u"a\\b/c", true, u"a", u"b/c", u"c", u"a\\b"},
        {u"a/", true, u"a", u"", u"", u"a"},
    };
    for (const auto& s : splits) {
        String path = s.path, component = u"stale";
        EXPECT_EQ(SplitFirstComponent(path, component), s.result) << ToUtf8(s.path);
        EXPECT_EQ(component, s.first);
        EXPECT_EQ(path, s.firstRest);
        path = s.path;
        component = u"stale";
        EXPECT_EQ(SplitLastComponent(path, component), s.result) << ToUtf8(s.path);
        EXPECT_EQ(component, s.last);
        EXPECT_EQ(path, s.lastRest);
    }
}

TEST(PathHelpers, ResolveRelativePaths) {
    const struct {
        const char16_t *base, *relative, *expected;
    } cases[] = {
        {u"", u"a\\b/./c//..\\d", u"a/b/d"},
        {u"Work/Projects", u"..", u"Work"},
        {u"Work/Projects", u"/Home", u"Home"},
        {u"Work/Projects", u"..\\..\\..", u""},
        {u"x", u"/", u""},
        {u"x", u"", u"x"},
        {u"x\\\\y", u"", u"x\\\\y"},  // the base is taken as it is
        {u"x\\y", u"z", u"x\\y/z"},
        {u"x", u"\\..", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolvePath(c.base, c.relative), c.expected)
            << ToUtf8(c.base) << " + " << ToUtf8(c.relative);
    }
}

using Messages = SettingsTest;

TEST_F(Messages, ComeFromTheHostExceptTheReservedNumber) {
    EXPECT_EQ(MessageText(10), u"Message 10");
    EXPECT_EQ(MessageText(0), u"Message 0");
    host.ClearRecords();
    EXPECT_EQ(MessageText(255), u"");
    EXPECT_EQ(host.CallCount("GetMsg"), 0);
}

}  // namespace
}  // namespace wm::test
