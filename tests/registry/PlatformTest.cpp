// The other Windows facilities: upper-casing, the environment and the shell's folders.
#include <gtest/gtest.h>

#include "platform/CharCase.h"
#include "platform/Environment.h"
#include "platform/KnownFolders.h"

namespace wm::platform {
namespace {

TEST(CharCase, UpperCasesOneCodeUnitAtATime) {
    const struct {
        char16_t in, out;
    } cases[] = {
        {u'a', u'A'},           {u'z', u'Z'},
        {u'A', u'A'},           {u'1', u'1'},
        {u'_', u'_'},           {u'\u00E9', u'\u00C9'},
        {u'\u00FF', u'\u0178'}, {u'\u0101', u'\u0100'},
        {u'\u0100', u'\u0100'}, {u'\u03C9', u'\u03A9'},
        {u'\u0436', u'\u0416'}, {u'\uFF41', u'\uFF21'},
        {u'\u00DF', u'\u00DF'}, {char16_t{0xD801}, char16_t{0xD801}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<int>(UpperCaseChar(c.in)), static_cast<int>(c.out))
            << static_cast<int>(c.in);
    }
    EXPECT_EQ(UpperCaseText(u"stra\u00DFe \u00E4rger/x"), u"STRA\u00DFE \u00C4RGER/X");
    EXPECT_EQ(UpperCaseText(u""), u"");
}

TEST(Environment, SetsReadsAndRemovesVariablesWhateverTheCaseOfTheirNames) {
    ASSERT_TRUE(SetEnvironmentValue(u"WmTestVariable", u"value \u00E9"));
    EXPECT_EQ(EnvironmentValue(u"WmTestVariable"), u"value \u00E9");
    EXPECT_EQ(EnvironmentValue(u"WMTESTVARIABLE"), u"value \u00E9");
    ASSERT_TRUE(UnsetEnvironmentValue(u"wmtestvariable"));
    EXPECT_EQ(EnvironmentValue(u"WmTestVariable"), u"");
    EXPECT_TRUE(UnsetEnvironmentValue(u"WmTestVariable"));  // already gone

    EXPECT_FALSE(SetEnvironmentValue(u"", u"x") || SetEnvironmentValue(u"A=B", u"x") ||
                 SetEnvironmentValue(u"WmTestVariable", StringView(u"a\0b", 3)));
}

TEST(KnownFolders, FoldersWithoutAPathGiveTheEmptyText) {
    EXPECT_FALSE(KnownFolderPath(40).empty());  // the profile
    for (int folder : {12, 17, 18, 60, 1000, -1}) {
        EXPECT_EQ(KnownFolderPath(folder), u"") << folder;
    }
}

}  // namespace
}  // namespace wm::platform
