#include <gtest/gtest.h>

#include "engine/text_util.h"

namespace kaviro {
namespace {

TEST(TextUtil, SplitLinesAcceptsEveryLineEnd) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(TextUtil, ParseInt32) {
    EXPECT_EQ(ParseInt32(" 42"), 42);
    EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseInt32("2147483647"), INT32_MAX);
    for (const char* bad : {"", "-", "2147483648", "12a", "1 ", "0x10"}) EXPECT_FALSE(ParseInt32(bad)) << bad;
}

TEST(TextUtil, ReplaceAllIgnoreCaseDoesNotRescanInsertedText) {
    EXPECT_EQ(ReplaceAllIgnoreCase("#a# #A#", "#a#", "#a##a#"), "#a##a# #a##a#");
    EXPECT_EQ(FindIgnoreCase("xxABc", "abc"), 2u);
}

TEST(TextUtil, ParseInt64) {
    EXPECT_EQ(ParseInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(ParseInt64("+9223372036854775807"), INT64_MAX);
    for (const char* bad : {"9223372036854775808", "-9223372036854775809", "99999999999999999999", "1.5"})
        EXPECT_FALSE(ParseInt64(bad)) << bad;
}

// Keys that compare equal with ASCII case ignored must hash alike, whatever
// their length (the hash folds eight bytes at a time, then the tail), and the
// letters' neighbours and bytes above 0x7F must not be folded.
TEST(TextUtil, CaseInsensitiveHashAgreesWithTheComparison) {
    struct Case {
        std::string a, b;
        bool equal;
    };
    const std::vector<Case> cases = {
        {"abcdefgh", "ABCDEFGH", true},
        {"{00000000-aaaa-BBBB-cccc-0123456789ab}", "{00000000-AAAA-bbbb-CCCC-0123456789AB}", true},
        {"zZ_name.x", "Zz_NAME.X", true},
        {"@[`{@[`{", "`{@[`{@[", false},
        {"\xe4\xf6\xfc\xe4\xf6\xfc\xe4\xf6", "\xc4\xd6\xdc\xc4\xd6\xdc\xc4\xd6", false},
        {"\xe1" "bcdefgh", "\xc1" "BCDEFGH", false},
        {"TITLE", "title", true},
        {"", "", true},
    };
    const CaseInsensitiveHash hash;
    for (const Case& c : cases) {
        EXPECT_EQ(EqualsIgnoreCase(c.a, c.b), c.equal) << c.a;
        // Unequal keys here differ only in bit 0x20 of non-letters: a fold
        // that reached them would make them collide.
        if (c.equal) {
            EXPECT_EQ(hash(c.a), hash(c.b)) << c.a;
        } else {
            EXPECT_NE(hash(c.a), hash(c.b)) << c.a;
        }
    }
}

}  // namespace
}  // namespace kaviro
