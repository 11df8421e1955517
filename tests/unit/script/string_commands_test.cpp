#include <gtest/gtest.h>

#include "script/interpreter.h"
#include "script/math_command.h"
#include "script/path_text.h"
#include "script_builder.h"

namespace kaviro::script {
namespace {

using testing::ScriptBuilder;

struct ScriptRun {
    TVariableManager store;
    RunEnvironment environment;
    RunResult result;
    explicit ScriptRun(const Script& script) {
        environment.variables = &store;
        result = RunScript(script, environment);
    }
};

TEST(SetVariable, SavingMarkerAndAbort) {
    ScriptRun run(ScriptBuilder()
                .Set("INSTALLED$VELK$VELK$TRUE", "yes")
                .Set("Other$VELK$VELK$FALSE", "no")
                .Set("$installed$$VELK$VELK$TRUE", "again")
                .Set("Ref", "$INSTALLED$!")
                .Build());
    EXPECT_EQ(run.store.Get("INSTALLED"), "again");
    EXPECT_EQ(run.store.Get("OTHER"), "no");
    EXPECT_EQ(run.store.Get("REF"), "again!");
    TextList dump;
    run.store.Dump(dump);
    EXPECT_NE(std::find(dump.begin(), dump.end(), "REF"), dump.end()) << "created upper-cased";
}

TEST(SetVariable, SavedListAndCancellation) {
    TVariableManager store;
    RunEnvironment environment;
    environment.variables = &store;
    struct Saved : PluginHost {
        void RunPlugin(RunContext& context, std::size_t) override {
            saved = context.savedVariables;
            cancelled = context.variables().Get("VELK_IsCancelled");
        }
        TextList saved;
        std::string cancelled;
    } probe;
    environment.plugins = &probe;
    const Script script = ScriptBuilder()
                              .PluginNames({"Probe"})
                              .Set("A$VELK$VELK$TRUE", "1")
                              .Set("a$VELK$VELK$TRUE", "2")
                              .Set("B$VELK$VELK$FALSE", "3")
                              .Set("abort", "TRUE")
                              .Add("Probe")
                              .Build();
    (void)RunScript(script, environment);
    EXPECT_EQ(probe.saved, (TextList{"A"}));
    EXPECT_EQ(probe.cancelled, "TRUE");
}

struct ParseCase {
    const char* source;
    const char* delimiter;
    const char* mode;
    const char* trim;
    const char* ignoreCase;
    const char* left;
    const char* right;
};

class ParseStringTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseStringTest, SplitsLeftAndRight) {
    const ParseCase& c = GetParam();
    ScriptRun run(ScriptBuilder()
                .Add("Parse String", {c.source, c.delimiter, "LEFT", "$RIGHT$", c.mode, c.trim, c.ignoreCase})
                .Build());
    ASSERT_EQ(run.result.end, RunEnd::Finished) << run.result.errorText;
    EXPECT_EQ(run.store.Get("LEFT"), c.left) << c.source << " / " << c.delimiter << " mode " << c.mode;
    EXPECT_EQ(run.store.Get("RIGHT"), c.right) << c.source << " / " << c.delimiter << " mode " << c.mode;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseStringTest,
    ::testing::Values(ParseCase{"a,b,c", ",", "0", "FALSE", "FALSE", "a", "b,c"},
                      ParseCase{"a,b,c", ",", "1", "FALSE", "FALSE", "a,b", "c"},
                      ParseCase{"a,b,c", "2", "2", "FALSE", "FALSE", "a,", "b,c"},
                      ParseCase{"a,b,c", "2", "3", "FALSE", "FALSE", "a,b", ",c"},
                      ParseCase{"a,b,c", ";", "0", "FALSE", "FALSE", "a,b,c", ""},
                      ParseCase{"a,b,c", ";", "1", "FALSE", "FALSE", "", "a,b,c"},
                      ParseCase{"a,b,c", "5", "3", "FALSE", "FALSE", "", ""},
                      ParseCase{"a,b,c", "0", "2", "FALSE", "FALSE", "", "a,b,c"},
                      ParseCase{"a,b,c", "9", "2", "FALSE", "FALSE", "a,b,c", ""},
                      ParseCase{"a,b,c", "x", "2", "FALSE", "FALSE", "", ""},
                      ParseCase{"a,b,c", ",", "7", "FALSE", "FALSE", "", ""},
                      ParseCase{"key = value", "=", "0", "TRUE", "FALSE", "key", "value"},
                      ParseCase{"key = value", "=", "0", "FALSE", "FALSE", "key ", " value"},
                      ParseCase{"OneANDtwo", "and", "0", "FALSE", "TRUE", "One", "two"},
                      ParseCase{"OneANDtwo", "and", "0", "FALSE", "FALSE", "OneANDtwo", ""},
                      ParseCase{"C:\\\\Dir\\\\File", "\\", "1", "FALSE", "FALSE", "C:\\Dir", "File"},
                      ParseCase{"x--y--z", "--", "1", "FALSE", "FALSE", "x--y", "z"},
                      ParseCase{"", ",", "0", "FALSE", "FALSE", "", ""}));

TEST(ParseString, ModeMustBeAnInteger) {
    ScriptRun run(ScriptBuilder().Add("Parse String", {"a,b", ",", "L", "R", "first", "FALSE", "FALSE"}).Build());
    EXPECT_EQ(run.result.end, RunEnd::Fatal);
}

TEST(ReplaceString, FirstAllCaseAndLines) {
    struct Case {
        const char* value;
        const char* find;
        const char* replacement;
        const char* ignoreCase;
        const char* all;
        const char* expected;
    };
    for (const Case& c : {Case{"a-b-c", "-", "+", "FALSE", "FALSE", "a+b-c"},
                          Case{"a-b-c", "-", "+", "FALSE", "TRUE", "a+b+c"},
                          Case{"aXbxc", "x", "_", "TRUE", "TRUE", "a_b_c"},
                          Case{"aXbxc", "x", "_", "FALSE", "TRUE", "aXb_c"},
                          Case{"aaa", "a", "aa", "FALSE", "TRUE", "aaaaaa"},
                          Case{"abc", "abcd", "x", "FALSE", "TRUE", "abc"},
                          Case{"abc", "", "x", "FALSE", "TRUE", "abc"},
                          Case{"one\r\ntwo", "o", "0", "FALSE", "TRUE", "0ne$NEWLINE$tw0"},
                          Case{"one\r\ntwo", "$NEWLINE$", " ", "FALSE", "TRUE", "one two"}}) {
        TVariableManager store;
        RunEnvironment environment;
        environment.variables = &store;
        (void)RunScript(ScriptBuilder().Set("V", c.value).Add("Replace String", {"$V$", c.find, c.replacement, c.ignoreCase, c.all}).Build(),
                        environment);
        EXPECT_EQ(store.Get("V"), c.expected) << c.value << " " << c.find;
    }
}

TEST(ConvertCase, UpperAndLowerAfterNormalizing) {
    ScriptRun run(ScriptBuilder()
                .Set("P", "C:\\\\Program Files\\\\$T$")
                .Set("T", "App")
                .Add("Convert Case", {"P", "TRUE"})
                .Set("Q", "MiXeD")
                .Add("Convert Case", {"$Q$", "FALSE"})
                .Build());
    EXPECT_EQ(run.store.Get("P"), "C:\\PROGRAM FILES\\APP");
    EXPECT_EQ(run.store.Get("Q"), "mixed");
}

TEST(ExtractPath, PartCodes) {
    struct Case {
        const char* path;
        int code;
        const char* expected;
    };
    for (const Case& c : {Case{"C:\\Dir\\File.tar.gz", 0, "File.tar.gz"}, Case{"C:\\Dir\\File.tar.gz", 1, "File.tar"},
                          Case{"C:\\Dir\\File.tar.gz", 2, "gz"}, Case{"C:\\Dir\\Sub\\File.txt", 3, "C:\\Dir\\Sub\\"},
                          Case{"C:\\Dir\\Sub\\File.txt", 4, "C:\\Dir\\"}, Case{"C:\\Dir\\Sub\\File.txt", 5, "C:\\"},
                          Case{"\\\\server\\share\\dir\\f.txt", 5, "\\\\server\\share\\"},
                          Case{"File.txt", 3, ""}, Case{"File.txt", 5, ""}, Case{"File", 2, ""}, Case{"File", 1, "File"},
                          Case{"D:name.ext", 0, "name.ext"}, Case{"C:\\a.b\\noext", 2, ""},
                          Case{"\\\\server\\\\share", 6, "\\server\\share"}, Case{"C:\\Dir", 9, "C:\\Dir"}}) {
        EXPECT_EQ(ExtractPathPart(c.path, c.code), c.expected) << c.path << " code " << c.code;
    }
    ScriptRun run(ScriptBuilder()
                .Set("F", "C:\\\\Dir\\\\File.txt")
                .Add("Extract Path", {"F", "3"})
                .Set("G", "x")
                .Add("Extract Path", {"G", "folder"})
                .Build());
    EXPECT_EQ(run.store.Get("F"), "C:\\Dir\\");
    EXPECT_EQ(run.result.end, RunEnd::Fatal) << "a part code that is not an integer fails the statement";
}

TEST(Mathematics, OperationTable) {
    struct Case {
        const char* a;
        const char* b;
        const char* code;
        const char* expected;  // nullptr: empty result
    };
    for (const Case& c : {Case{"7", "2", "0", "9"}, Case{"7", "9", "1", "-2"}, Case{"-3", "4", "2", "-12"},
                          Case{"7", "2", "3", "3"}, Case{"-7", "2", "3", "-3"}, Case{"-7", "2", "4", "-1"},
                          Case{"7", "-2", "4", "1"}, Case{"7", "0", "3", nullptr}, Case{"7", "0", "4", nullptr},
                          Case{"12", "10", "5", "8"}, Case{"12", "10", "6", "14"}, Case{"12", "10", "7", "6"},
                          Case{"1", "40", "8", "1099511627776"}, Case{"-1", "60", "9", "15"},
                          Case{"1", "64", "8", "0"}, Case{"0", "", "10", "-1"}, Case{"A", "", "11", "65"},
                          Case{"", "", "11", nullptr}, Case{"\xe9t\xe9", "", "11", "233"}, Case{"321", "", "12", "A"},
                          Case{"9223372036854775807", "1", "0", "-9223372036854775808"},
                          Case{"-9223372036854775808", "-1", "3", nullptr},
                          Case{"x", "1", "0", nullptr}, Case{"1", "y", "0", nullptr}, Case{"5", "y", "10", "-6"},
                          Case{"1", "1", "16", nullptr}, Case{"1", "1", "plus", nullptr},
                          Case{"99999999999999999999", "1", "0", nullptr}}) {
        RandomGenerator generator;
        const auto result = Calculate(c.a, c.b, c.code, generator);
        if (c.expected) {
            EXPECT_EQ(result.value_or("(empty)"), c.expected) << c.a << " op " << c.code << " " << c.b;
        } else {
            EXPECT_FALSE(result.has_value()) << c.a << " op " << c.code << " " << c.b << " gave " << *result;
        }
    }
}

TEST(Mathematics, GeneratorRepeatsItsSequence) {
    auto sequence = [] {
        RandomGenerator generator;
        std::vector<std::string> values;
        EXPECT_EQ(Calculate("1103515245", "12345", "13", generator).value_or(""), "1103527590");
        EXPECT_EQ(Calculate("4294967297", "", "14", generator).value_or(""), "1") << "low 32 bits, signed";
        for (int i = 0; i < 20; ++i) values.push_back(Calculate("100", "", "15", generator).value_or("(empty)"));
        return values;
    };
    const auto first = sequence();
    EXPECT_EQ(first, sequence());
    bool negative = false;
    for (const std::string& value : first) {
        const long number = std::stol(value);
        EXPECT_GT(number, -100);
        EXPECT_LT(number, 100);
        negative = negative || number < 0;
    }
    EXPECT_TRUE(negative) << "wrapped 32-bit products give negative values";
    // By hand: state 1, multiplier 1103515245, increment 12345: x = 1103527590, state = x mod 32767.
    RandomGenerator generator{1103515245u, 12345u, 1u};
    EXPECT_EQ(Calculate("1000", "", "15", generator).value_or(""), std::to_string(1103527590 % 1000));
    EXPECT_EQ(generator.state, static_cast<uint32_t>(1103527590 % 32767));
}

TEST(Mathematics, StatementWritesResultOrEmpty) {
    ScriptRun run(ScriptBuilder()
                .Set("A", "20")
                .Add("Mathematics", {"$A$", "3", "3", "Q"})
                .Add("Mathematics", {"$A$", "0", "3", "$Z$"})
                .Add("Mathematics", {"$A$", "1", "0", ""})
                .Build());
    EXPECT_EQ(run.store.Get("Q"), "6");
    EXPECT_TRUE(run.store.Exists("Z"));
    EXPECT_EQ(run.store.Get("Z"), "");
}

TEST(EvaluateExpression, ReferencesBecomeQuotedValues) {
    for (const auto& [value, expected] : std::vector<std::pair<const char*, const char*>>{
             {"x", "TRUE"}, {"y", "FALSE"}, {nullptr, "ERROR"}, {"a\"b", "ERROR"}}) {
        TVariableManager store;
        RunEnvironment environment;
        environment.variables = &store;
        if (value) environment.run.overrides = {"A", value};
        (void)RunScript(ScriptBuilder().Add("Evaluate Expression", {"$A$ = \"x\"", "RESULT"}).Build(), environment);
        EXPECT_EQ(store.Get("RESULT"), expected) << (value ? value : "(undefined)");
    }
}

}  // namespace
}  // namespace kaviro::script
