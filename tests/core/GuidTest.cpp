#include "core/Guid.h"

#include <gtest/gtest.h>

#include "core/Exceptions.h"

namespace wm {
namespace {

constexpr Guid kSample{
    0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};

TEST(GuidTest, TextFormGroupsFieldsMostSignificantFirst) {
    EXPECT_EQ(GuidToString(kSample), u"{01234567-89AB-CDEF-0123-456789ABCDEF}");
    EXPECT_EQ(GuidToString(NullGuid), u"{00000000-0000-0000-0000-000000000000}");
    const Guid high{0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
    EXPECT_EQ(GuidToString(high), u"{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}");
}

TEST(GuidTest, ParsesEitherCaseAndRoundTrips) {
    EXPECT_EQ(StringToGuid(u"{01234567-89AB-CDEF-0123-456789ABCDEF}"), kSample);
    EXPECT_EQ(StringToGuid(u"{01234567-89ab-cdef-0123-456789abcdef}"), kSample);
    EXPECT_EQ(StringToGuid(u"{01234567-89aB-CdEf-0123-456789AbCdEf}"), kSample);
    const Guid odd{0xA1B2C3D4, 0x0E0F, 0x1020, {0x30, 0x40, 0x5A, 0x6B, 0x7C, 0x8D, 0x9E, 0xAF}};
    EXPECT_EQ(StringToGuid(GuidToString(odd)), odd);
    EXPECT_TRUE(IsNullGuid(StringToGuid(u"{00000000-0000-0000-0000-000000000000}")));
}

TEST(GuidTest, EqualityLooksAtEveryField) {
    EXPECT_TRUE(kSample == kSample);
    EXPECT_TRUE(IsNullGuid(NullGuid));
    EXPECT_FALSE(IsNullGuid(kSample));
    Guid variants[4] = {kSample, kSample, kSample, kSample};
    variants[0].Data1 ^= 0x80000000;
    variants[1].Data2 ^= 1;
    variants[2].Data3 ^= 0x100;
    variants[3].Data4[7] ^= 1;
    for (const Guid& g : variants) {
        EXPECT_FALSE(g == kSample) << ToUtf8(GuidToString(g));
        EXPECT_TRUE(g != kSample);
    }
    Guid last{};
    last.Data4[7] = 1;
    EXPECT_FALSE(IsNullGuid(last));
}

TEST(GuidTest, RejectsEverythingButTheExactForm) {
    const char16_t* const bad[] = {
        u"",
        u"{}",
        u"{01234567-89AB-CDEF-0123-456789ABCDE}",    // one digit short
        u"{01234567-89AB-CDEF-0123-456789ABCDEF0}",  // one digit long
        u"01234567-89AB-CDEF-0123-456789ABCDEF",     // no braces
        u"(01234567-89AB-CDEF-0123-456789ABCDEF)",
        u"{01234567-89AB-CDEF-0123-456789ABCDEF ",
        u" 01234567-89AB-CDEF-0123-456789ABCDEF}",
        u"{0123456-789AB-CDEF-0123-456789ABCDEF}",  // dashes shifted
        u"{01234567-89ABC-DEF-0123-456789ABCDEF}",
        u"{01234567-89AB-CDEF0-123-456789ABCDEF}",
        u"{01234567-89AB-CDEF-01234-56789ABCDEF}",
        u"{01234567089AB-CDEF-0123-456789ABCDEF}",  // digit in place of a dash
        u"{0123456789ABCDEF0123456789ABCDEF0123}",
        u"{G1234567-89AB-CDEF-0123-456789ABCDEF}",  // non-hex in each group
        u"{01234567-89AX-CDEF-0123-456789ABCDEF}",
        u"{01234567-89AB-CDEg-0123-456789ABCDEF}",
        u"{01234567-89AB-CDEF-01 3-456789ABCDEF}",
        u"{01234567-89AB-CDEF-0123-456789ABCDE%}",
        u"{+1234567-89AB-CDEF-0123-456789ABCDEF}",
        u"{01234567-89AB-CDEF-0123-456789ABCD\uFF21F}",  // fullwidth A
    };
    for (const char16_t* text : bad) {
        try {
            StringToGuid(text);
            ADD_FAILURE() << "accepted " << ToUtf8(text);
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), u"'" + String(text) + u"' is not a valid GUID value")
                << ToUtf8(text);
        }
    }
}

}  // namespace
}  // namespace wm
