// Bounded formatting and the conversion check that guards translated formats.
#include <gtest/gtest.h>

#include <cstring>

#include "common/Text.h"

TEST(BoundedText, CutTextIsTerminatedAndReported) {
    char buf[8];
    memset(buf, 'x', sizeof buf);
    EXPECT_FALSE(FormatBounded(buf, sizeof buf, "%s", "0123456789"));
    EXPECT_STREQ("0123456", buf);
    EXPECT_TRUE(FormatBounded(buf, sizeof buf, "%d", 42));
    EXPECT_STREQ("42", buf);
    EXPECT_FALSE(CopyBounded(buf, sizeof buf, "abcdefghij"));
    EXPECT_STREQ("abcdefg", buf);
    EXPECT_TRUE(CopyBounded(buf, sizeof buf, nullptr));
    EXPECT_STREQ("", buf);
}

TEST(BoundedText, ConversionsOfFormats) {
    struct Case { const char* format; bool ok; const char* conversions; };
    const Case cases[] = {
        {"Error loading knt.dll! (errno.: %d) Program cannot be executed!", true, "d;"},
        {"Error starting winsock2: %s. Ending %s.", true, "s;s;"},
        {"100%% done %5d", true, "5d;"},
        {"no conversion", true, ""},
        {"%n", false, nullptr},
        {"%*d", false, nullptr},
        {"dangling %", false, nullptr},
    };
    for (const Case& c : cases) {
        char out[64];
        EXPECT_EQ(c.ok, FormatConversions(c.format, out, sizeof out)) << c.format;
        if (c.ok) {
            EXPECT_STREQ(c.conversions, out) << c.format;
        }
    }
}

TEST(BoundedText, WidthMakesADifferentConversion) {
    char a[32], b[32];
    ASSERT_TRUE(FormatConversions("%d", a, sizeof a));
    ASSERT_TRUE(FormatConversions("%100000d", b, sizeof b));
    EXPECT_STRNE(a, b);
}
