#include <gtest/gtest.h>

#include "script/expression.h"

namespace kaviro::script {
namespace {

struct ExpressionCase {
    const char* text;
    const char* expected;
};

class ExpressionTest : public ::testing::TestWithParam<ExpressionCase> {};

TEST_P(ExpressionTest, Evaluates) { EXPECT_EQ(EvaluateExpression(GetParam().text), GetParam().expected) << GetParam().text; }

INSTANTIATE_TEST_SUITE_P(
    Table, ExpressionTest,
    ::testing::Values(
        ExpressionCase{R"("a" = "a")", "TRUE"}, ExpressionCase{R"("a"="b")", "FALSE"},
        ExpressionCase{R"("a" = "b" or "b" = "b")", "TRUE"},
        ExpressionCase{R"(("a" = "a") and ("b" < "a"))", "FALSE"},
        // Strictly left to right: (a and b) or c, and (a or b) and c.
        ExpressionCase{R"("1" = "2" and "1" = "2" or "1" = "1")", "TRUE"},
        ExpressionCase{R"("1" = "1" or "1" = "1" and "1" = "2")", "FALSE"},
        ExpressionCase{R"("1" = "1" or ("1" = "1" and "1" = "2"))", "TRUE"},
        ExpressionCase{R"("10" < "9")", "TRUE"}, ExpressionCase{R"("b" > "B")", "TRUE"},
        ExpressionCase{R"("a" <> "b")", "TRUE"}, ExpressionCase{R"("a" <= "a")", "TRUE"},
        ExpressionCase{R"("a" >= "b")", "FALSE"}, ExpressionCase{R"("" = "")", "TRUE"},
        ExpressionCase{R"("say ""hi""" = "say ""hi""")", "TRUE"},
        ExpressionCase{"\"a\"\"\" = 'a\"'", "ERROR"},
        ExpressionCase{R"("x""" = "x")", "FALSE"},
        ExpressionCase{R"(  (  "a"   =   "a"  )  )", "TRUE"},
        ExpressionCase{R"("a" = "a" and)", "ERROR"}, ExpressionCase{R"("a" == "a")", "ERROR"},
        ExpressionCase{R"("a" = "a" AND "b" = "b")", "ERROR"}, ExpressionCase{"", "ERROR"},
        ExpressionCase{"   ", "ERROR"}, ExpressionCase{R"("a" ~ "a")", "ERROR"},
        ExpressionCase{R"("a" = "a")  )", "ERROR"}, ExpressionCase{R"(("a" = "a")", "ERROR"},
        ExpressionCase{R"("a = "a")", "ERROR"}, ExpressionCase{R"("a" = a)", "ERROR"},
        ExpressionCase{R"($A$ = "x")", "ERROR"}, ExpressionCase{R"("a" = "a" xor "a" = "a")", "ERROR"},
        ExpressionCase{R"("a" = "a" and("a" = "a"))", "ERROR"},
        ExpressionCase{"\"a\"\t= \"a\"", "ERROR"}, ExpressionCase{R"("a" = "a" "b" = "b")", "ERROR"}));

TEST(Expression, DeepNestingIsAnErrorNotACrash) {
    const std::string deep = std::string(100000, '(') + "\"a\" = \"a\"" + std::string(100000, ')');
    EXPECT_EQ(EvaluateExpression(deep), "ERROR");
    const std::string fine = std::string(100, '(') + "\"a\" = \"a\"" + std::string(100, ')');
    EXPECT_EQ(EvaluateExpression(fine), "TRUE");
}

TEST(CheckExpressionSyntax, ReferencesBecomeQuotedOperands) {
    EXPECT_TRUE(CheckExpressionSyntax("$A$ = $B$"));
    EXPECT_TRUE(CheckExpressionSyntax("$A$ = \"x\" or ($B$ <> \"\")"));
    EXPECT_FALSE(CheckExpressionSyntax("$A$ == $B$"));
    EXPECT_FALSE(CheckExpressionSyntax("$A$ = "));
    EXPECT_FALSE(CheckExpressionSyntax(""));
}

}  // namespace
}  // namespace kaviro::script
