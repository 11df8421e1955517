// Comma text as the rules of a dialog are kept, and the lines of a rules file.

#include <gtest/gtest.h>

#include "ui/comma_text.h"

namespace kaviro::ui {
namespace {

using Lines = std::vector<std::string>;

TEST(CommaTextTest, JoinsAndSplitsBack) {
    const struct {
        Lines items;
        std::string text;
    } cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"a", "b"}, "a,b"},
        {{"a b", "c"}, "\"a b\",c"},
        {{"say \"hi\"", "x,y"}, "\"say \"\"hi\"\"\",\"x,y\""},
        {{"a", "", "b"}, "a,,b"},
        {{"tab\there"}, "\"tab\there\""},
        {{"IF (A.B = 1)  THEN  C.D := 2;"}, "\"IF (A.B = 1)  THEN  C.D := 2;\""},
        {{"caf\xE9"}, "caf\xE9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinCommaText(c.items), c.text);
        EXPECT_EQ(SplitCommaText(c.text), c.items) << c.text;
    }
}

TEST(CommaTextTest, SplitsLikeTheStringList) {
    const struct {
        std::string text;
        Lines items;
    } cases[] = {
        {"a b", {"a", "b"}},                          // an unquoted blank separates
        {"  a , b ", {"a", "b"}}, {"a,", {"a", ""}},  // a trailing comma adds an empty item
        {"a, ", {"a"}},           {",a", {"", "a"}},
        {"\"open", {"open"}},  // an unterminated quote takes the rest
        {"x\"y\"", {"x\"y\""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitCommaText(c.text), c.items) << c.text;
    }
}

TEST(CommaTextTest, SplitsTextLines) {
    EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTextLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(SplitTextLines("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitTextLines(""), Lines{});
}

}  // namespace
}  // namespace kaviro::ui
