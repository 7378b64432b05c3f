#include <gtest/gtest.h>

#include "far2l/Texts.h"
#include "tests/bridge/FakeFar2l.h"

namespace wm::test {
namespace {

using bridge::TTexts16;
using bridge::TTexts32;

TEST(BridgeTexts, NullStaysNullAndEmptyStaysEmpty) {
    TTexts32 to;
    TTexts16 back;
    EXPECT_EQ(to.Add(far::HostText{nullptr}), nullptr);
    EXPECT_EQ(back.Add(nullptr), nullptr);
    const far2l::HostText32 empty32 = to.Add(u"");
    ASSERT_NE(empty32, nullptr);
    EXPECT_EQ(empty32[0], U'\0');
    const far::HostText empty16 = back.Add(U"");
    ASSERT_NE(empty16, nullptr);
    EXPECT_EQ(empty16[0], u'\0');
    EXPECT_EQ(bridge::ToHost32(nullptr), U"");
    EXPECT_EQ(bridge::FromHost32(nullptr), u"");

    EXPECT_EQ(to.AddArray(nullptr, 3), nullptr);
    const far::HostText texts[] = {u"one", nullptr, u""};
    const far2l::HostText32* array = to.AddArray(texts, 3);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(T32(array[0]), U"one");
    EXPECT_EQ(array[1], nullptr);
    ASSERT_NE(array[2], nullptr);
    EXPECT_EQ(array[2][0], U'\0');
}

// Texts short enough to live inside their string objects: a store that moved them would leave
// the first pointers dangling.
TEST(BridgeTexts, EveryTextStaysWhereItIsUntilTheStoreIsCleared) {
    TTexts32 to;
    TTexts16 back;
    const far2l::HostText32 first32 = to.Add(u"first");
    const far::HostText first16 = back.Add(U"first");
    const far::HostText list[] = {u"x", u"y"};
    const far2l::HostText32* firstArray = to.AddArray(list, 2);
    for (int k = 0; k < 5000; ++k) {
        to.Add(u"n");
        back.Add(U"n");
        to.AddArray(list, 2);
    }
    EXPECT_EQ(T32(first32), U"first");
    EXPECT_EQ(std::u16string(first16), u"first");
    EXPECT_EQ(T32(firstArray[1]), U"y");
    to.Clear();
    back.Clear();
    EXPECT_EQ(T32(to.Add(u"again")), U"again");
}

}  // namespace
}  // namespace wm::test
