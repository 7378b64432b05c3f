#include "core/Format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Exceptions.h"

namespace wm {
namespace {

struct FormatCase {
    const char16_t* format;
    std::vector<FormatArg> args;
    const char16_t* expected;
};

// Format takes an initializer list; the table keeps vectors, so spell out the argument counts used.
String Apply(const char16_t* format, const std::vector<FormatArg>& a) {
    switch (a.size()) {
        case 0:
            return Format(format, {});
        case 1:
            return Format(format, {a[0]});
        case 2:
            return Format(format, {a[0], a[1]});
        case 3:
            return Format(format, {a[0], a[1], a[2]});
        case 4:
            return Format(format, {a[0], a[1], a[2], a[3]});
        default:
            return Format(format, {a[0], a[1], a[2], a[3], a[4]});
    }
}

TEST(FormatTest, ExpandsSpecifiers) {
    const std::vector<FormatCase> cases = {
        {u"", {}, u""},
        {u"plain", {}, u"plain"},
        {u"100%%", {}, u"100%"},
        {u"%s|%s", {u"a", String(u"b")}, u"a|b"},
        {u"%s", {static_cast<const char16_t*>(nullptr)}, u""},
        {u"%s", {u"\U0001F600"}, u"\U0001F600"},
        {u"%d %d %d", {0, -42, 9223372036854775807LL}, u"0 -42 9223372036854775807"},
        {u"%d", {-9223372036854775807LL - 1}, u"-9223372036854775808"},
        {u"%u", {4294967295u}, u"4294967295"},
        {u"%u", {18446744073709551615ULL}, u"18446744073709551615"},
        {u"%x %x", {255, 0}, u"FF 0"},
        {u"%x", {0xFEDCBA9876543210ULL}, u"FEDCBA9876543210"},
        // Negative values seen unsigned wrap at the width of their type.
        {u"%u %x", {-1, -2}, u"4294967295 FFFFFFFE"},
        {u"%u %x", {-1LL, -2LL}, u"18446744073709551615 FFFFFFFFFFFFFFFE"},
        {u"%S %D %U %X", {u"a", 1, 2, 171}, u"a 1 2 AB"},
        // Index specifiers, and unindexed specifiers continuing after the indexed one.
        {u"%1:s %0:s", {u"a", u"b"}, u"b a"},
        {u"%1:s %s %0:s %s", {u"a", u"b", u"c"}, u"b c a b"},
        {u"%%%0:d.%0:ds   %%s", {7}, u"%7.7s   %s"},
        // Width pads, never truncates; '-' moves the padding to the right.
        {u"[%5s]", {u"ab"}, u"[   ab]"},
        {u"[%-5s]", {u"ab"}, u"[ab   ]"},
        {u"[%2s]", {u"abcd"}, u"[abcd]"},
        {u"[%5d][%-5d]", {-12, 34}, u"[  -12][34   ]"},
        {u"[%05d]", {42}, u"[   42]"},
        {u"[%0:-4s]", {u"a"}, u"[a   ]"},
        // Precision: most characters of a text, fewest digits of a number (sign not counted).
        {u"[%.3s][%.9s]", {u"abcdef", u"abc"}, u"[abc][abc]"},
        {u"[%.5d][%.5d]", {42, -42}, u"[00042][-00042]"},
        {u"[%8.5d][%-8.5d]", {-42, 42}, u"[  -00042][00042   ]"},
        {u"[%.4x][%.3u][%.0d]", {255, 7, 0}, u"[00FF][007][0]"},
        {u"[%6.2s]", {u"abcdef"}, u"[    ab]"},
        // '*' takes width and precision from the arguments, in order.
        {u"[%*d]", {5, 42}, u"[   42]"},
        {u"[%-*d]", {5, 42}, u"[42   ]"},
        {u"[%*.*s]", {5, 2, u"abcdef"}, u"[   ab]"},
        {u"[%.*d]", {4, -3}, u"[-0003]"},
        {u"[%*d]", {-5, 42}, u"[42]"},
        {u"%1:*d", {u"unused", 3, 7}, u"  7"},
        {u"%s%-*.*s%s", {u"<", 6, 6, u"abc", u">"}, u"<abc   >"},
        {u"%s%-*.*s%s", {u"<", 6, 6, u"abcdefgh", u">"}, u"<abcdef>"},
        // Extra arguments are ignored.
        {u"%d", {1, 2, u"three"}, u"1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Apply(c.format, c.args), c.expected) << ToUtf8(c.format);
    }
}

struct ErrorCase {
    const char16_t* format;
    std::vector<FormatArg> args;
    bool missing;  // "No argument" rather than "invalid or incompatible"
};

TEST(FormatTest, RaisesConvertErrorNamingTheFormat) {
    const std::vector<ErrorCase> cases = {
        // Malformed specifiers.
        {u"%", {1}, false},
        {u"abc%", {1}, false},
        {u"%5", {1}, false},
        {u"%-", {1}, false},
        {u"%.", {1}, false},
        {u"%1:", {1, 2}, false},
        {u"%:s", {u"a"}, false},
        {u"%5-d", {1}, false},
        {u"%q", {1}, false},
        {u"%f", {1}, false},
        {u"%d%", {1}, false},
        {u"%99999999999d", {1}, false},
        // Arguments of the wrong kind.
        {u"%s", {1}, false},
        {u"%d", {u"1"}, false},
        {u"%x", {u"ff"}, false},
        {u"%*d", {u"5", 1}, false},
        {u"%.*s", {u"2", u"abc"}, false},
        // Running out of arguments.
        {u"%s", {}, true},
        {u"%d %d", {1}, true},
        {u"%2:s", {u"a", u"b"}, true},
        {u"%1:s %s", {u"a", u"b"}, true},
        {u"%*d", {5}, true},
        {u"%*.*s", {5, 2}, true},
    };
    for (const auto& c : cases) {
        const std::string label = ToUtf8(c.format);
        try {
            Apply(c.format, c.args);
            ADD_FAILURE() << "no error for " << label;
        } catch (const EConvertError& e) {
            const String expected =
                c.missing
                    ? u"No argument for format '" + String(c.format) + u"'"
                    : u"Format '" + String(c.format) + u"' invalid or incompatible with argument";
            EXPECT_EQ(e.Message(), expected) << label;
        }
    }
}

}  // namespace
}  // namespace wm
