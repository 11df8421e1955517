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

}  // namespace
}  // namespace kaviro
