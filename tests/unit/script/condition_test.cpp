#include <gtest/gtest.h>

#include "engine/engine_error.h"
#include "script/condition.h"

namespace kaviro::script {
namespace {

struct ConditionCase {
    const char* value;  // nullptr: the variable does not exist
    const char* code;
    const char* operand;
    const char* negation;
    bool expected;
};

class ConditionTest : public ::testing::TestWithParam<ConditionCase> {};

TEST_P(ConditionTest, ComparesValueWithOperand) {
    const ConditionCase& c = GetParam();
    TVariableManager store;
    if (c.value) store.Set("V", c.value);
    store.Set("OTHER", "App");
    const ConditionParameters bare{"V", c.code, c.operand, c.negation};
    const ConditionParameters reference{"$V$", c.code, c.operand, c.negation};
    EXPECT_EQ(EvaluateCondition(store, bare), c.expected)
        << (c.value ? c.value : "(missing)") << " code " << c.code << " " << c.operand;
    if (std::string(c.code) != "5") {
        EXPECT_EQ(EvaluateCondition(store, reference), c.expected) << "reference form";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConditionTest,
    ::testing::Values(
        ConditionCase{"App", "0", "App", "FALSE", true}, ConditionCase{"App", "0", "App", "TRUE", false},
        ConditionCase{"app", "0", "App", "FALSE", false}, ConditionCase{"App2", "0", "App", "TRUE", true},
        ConditionCase{"010", "0", "10", "FALSE", true}, ConditionCase{"10.0", "0", "10", "FALSE", false},
        ConditionCase{"-5", "0", "-005", "FALSE", true}, ConditionCase{"+7", "0", "7", "FALSE", true},
        ConditionCase{"9", "2", "10", "FALSE", false}, ConditionCase{"10", "2", "9", "FALSE", true},
        ConditionCase{"b", "2", "a", "FALSE", true}, ConditionCase{"a", "2", "b", "FALSE", false},
        ConditionCase{"9x", "2", "10x", "FALSE", true}, ConditionCase{"\xe9", "2", "z", "FALSE", true},
        ConditionCase{"Program Files", "1", "Files", "FALSE", true},
        ConditionCase{"Program Files", "1", "FILES", "FALSE", false},
        ConditionCase{"Program Files", "3", "FILES", "FALSE", true},
        ConditionCase{"12", "1", "2", "FALSE", false},  // both integers: 12 = 2 is false
        ConditionCase{"App", "4", "APP", "FALSE", true}, ConditionCase{"App", "4", "AP", "FALSE", false},
        ConditionCase{"", "5", "", "FALSE", true}, ConditionCase{nullptr, "5", "", "FALSE", false},
        ConditionCase{nullptr, "5", "", "TRUE", true}, ConditionCase{nullptr, "0", "", "FALSE", true},
        ConditionCase{"1.2.3", "6", "1.2", "FALSE", true}, ConditionCase{"1.2", "6", "1.2.0.0", "FALSE", false},
        ConditionCase{"2", "6", "1.9.9.9", "FALSE", true}, ConditionCase{"1.10", "6", "1.2", "FALSE", true},
        ConditionCase{"1.2", "6", "1.10", "FALSE", false}, ConditionCase{"1.2.3.4.5", "6", "1.2.3.4", "FALSE", false},
        ConditionCase{"App", "7", "App", "FALSE", false}, ConditionCase{"App", "7", "App", "TRUE", true},
        ConditionCase{"App", "", "App", "FALSE", false},
        // The operand is expanded; so is the value.
        ConditionCase{"App", "0", "$OTHER$", "FALSE", true}, ConditionCase{"$OTHER$", "0", "App", "FALSE", true},
        ConditionCase{"App", "0", "App", "-1", false}, ConditionCase{"App", "0", "App", "1", true}));

TEST(Condition, ExistenceUsesTheNameAsWritten) {
    TVariableManager store;
    store.Set("V", "");
    EXPECT_TRUE(EvaluateCondition(store, {"V", "5", "", "FALSE"}));
    EXPECT_FALSE(EvaluateCondition(store, {"$V$", "5", "", "FALSE"})) << "the reference form is not stripped for code 5";
}

TEST(CompareVersions, ComponentsLeftToRight) {
    struct Case {
        const char* a;
        const char* b;
        bool later;
    };
    for (const Case& c : {Case{"1.2.3", "1.2", true}, Case{"1.2", "1.2.0.0", false}, Case{"2", "1.9.9.9", true},
                          Case{"1.10", "1.2", true}, Case{"1.2", "1.10", false}, Case{"", "0", false},
                          Case{"0.0.0.1", "", true}, Case{"1.x", "1.0", false}, Case{"1.0", "1.x", false},
                          Case{"1.", "1.0", false}, Case{"3.1.4.1", "3.1.4.0", true}, Case{"1.1.1.1.9", "1.1.1.1", false}}) {
        EXPECT_EQ(CompareVersions(c.a, c.b), c.later) << c.a << " vs " << c.b;
    }
}

TEST(CompareVersions, NonIntegerBeforeDotFailsTheStatement) {
    for (const char* bad : {"a.1", "1.b.2", "1..2", ".5"}) {
        EXPECT_THROW(CompareVersions(bad, "1"), EngineError) << bad;
        EXPECT_THROW(CompareVersions("1", bad), EngineError) << bad;
    }
    TVariableManager store;
    store.Set("V", "x.1");
    EXPECT_THROW(EvaluateCondition(store, {"V", "6", "1.0", "FALSE"}), EngineError);
}

}  // namespace
}  // namespace kaviro::script
