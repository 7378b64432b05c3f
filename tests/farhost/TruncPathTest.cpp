#include "farhost/engine/TruncPath.h"

#include <gtest/gtest.h>

namespace farhost {
namespace {

TEST(TruncPath, ShortensToExactlyMaxLength) {
    const struct {
        const char16_t* text;
        int max;
        const char16_t* expected;
    } cases[] = {
        // Drive root with either slash.
        {u"C:\\Program Files\\Far\\Plugins\\x", 20, u"C:\\...\\Far\\Plugins\\x"},
        {u"C:/Program Files/Far/Plugins/x", 20, u"C:/.../Far/Plugins/x"},
        // UNC root, and the same path when the root leaves too little room.
        {u"\\\\server\\share\\folder\\sub\\file.txt", 24, u"\\\\server\\share\\...le.txt"},
        {u"\\\\server\\share\\folder\\sub\\file.txt", 19, u"...der\\sub\\file.txt"},
        // Root exactly max - 5, then one character longer than allowed.
        {u"C:\\abcdefghij", 8, u"C:\\...ij"},
        {u"C:\\abcdefghij", 7, u"...ghij"},
        // No root.
        {u"/home/user/projects/waymarks", 12, u".../waymarks"},
        {u"relative\\path\\to\\file", 10, u"...to\\file"},
        {u"C:abcdefghijkl", 8, u"...hijkl"},
        {u"\\\\server", 6, u"...ver"},
        // Three or fewer: the beginning of the text.
        {u"C:\\abc\\def", 3, u"C:\\"},
        {u"C:\\abc\\def", 1, u"C"},
        // Unchanged.
        {u"C:\\abc\\def", 0, u"C:\\abc\\def"},
        {u"C:\\abc\\def", -4, u"C:\\abc\\def"},
        {u"C:\\abc\\def", 10, u"C:\\abc\\def"},
        {u"", 5, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wm::ToUtf8(c.text) + " @ " + std::to_string(c.max));
        const wm::String result = TruncPath(c.text, c.max);
        EXPECT_EQ(result, c.expected);
        const wm::StringView text = c.text;
        if (c.max > 0 && text.size() > static_cast<size_t>(c.max)) {
            EXPECT_EQ(result.size(), static_cast<size_t>(c.max));
        }
    }
}

}  // namespace
}  // namespace farhost
