#include <gtest/gtest.h>

#include <thread>

#include "script/variable_manager.h"
#include "script/variable_text.h"

namespace kaviro::script {
namespace {

struct ExpandCase {
    const char* text;
    const char* expected;
};

class ExpandTest : public ::testing::TestWithParam<ExpandCase> {
protected:
    void SetUp() override {
        store.Set("TITLE", "App");
        store.Set("A", "1");
        store.Set("B", "2");
        store.Set("REF", "$B$");
        store.Set("CHAIN", "<$REF$>");
        store.Set("EMPTY", "");
        store.Set("DOLLAR", "$");
        store.Set("HALF", "$TI");
    }
    TVariableManager store;
};

TEST_P(ExpandTest, ReplacesReferences) {
    EXPECT_EQ(store.Expand(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExpandTest,
    ::testing::Values(ExpandCase{"Install $TITLE$ now", "Install App now"},
                      ExpandCase{"Install $title$ now", "Install App now"},
                      ExpandCase{"Install $UNKNOWN$ now", "Install $UNKNOWN$ now"},
                      ExpandCase{"$A$$B$", "12"},
                      ExpandCase{"$$A$", "$1"},
                      ExpandCase{"$REF$", "2"},
                      ExpandCase{"[$CHAIN$]", "[<2>]"},
                      ExpandCase{"100$ and 200$", "100$ and 200$"},
                      ExpandCase{"$UNKNOWN$TITLE$", "$UNKNOWNApp"},
                      ExpandCase{"$EMPTY$x", "x"},
                      ExpandCase{"no dollar", "no dollar"},
                      ExpandCase{"trailing $", "trailing $"},
                      ExpandCase{"$", "$"},
                      ExpandCase{"$$", "$$"},
                      ExpandCase{"", ""},
                      // A value ending in "$" joins the text after it: "$" + "A$" names A.
                      ExpandCase{"$DOLLAR$A$", "1"},
                      // A value's open reference is closed by the text after it.
                      ExpandCase{"$HALF$TLE$", "App"}));

TEST(ExpandQuoted, QuotesEveryInsertedValue) {
    TVariableManager store;
    store.Set("X", "1");
    store.Set("Y", "$X$");
    EXPECT_EQ(store.ExpandQuoted("$X$ = \"1\""), "\"1\" = \"1\"");
    EXPECT_EQ(store.ExpandQuoted("$U$ = \"1\""), "$U$ = \"1\"");
    // The inserted value is scanned again: its reference is quoted as well.
    EXPECT_EQ(store.ExpandQuoted("$Y$"), "\"\"1\"\"");
    store.Set("Q", "a\"b");
    EXPECT_EQ(store.ExpandQuoted("$Q$"), "\"a\"b\"") << "values are not escaped";
}

TEST(ExpandBound, SelfReferringValuesStop) {
    TVariableManager store;
    store.Set("SELF", "$SELF$");
    store.Set("P", "$Q$");
    store.Set("Q", "$P$");
    store.Set("GROW", "x$GROW$");
    EXPECT_EQ(store.Expand("$SELF$"), "$SELF$");
    EXPECT_EQ(store.Expand("a $P$ b"), "a $P$ b");  // the last round inserted P's reference again
    EXPECT_EQ(store.Expand("$GROW$"), std::string(kMaxExpansionDepth, 'x') + "$GROW$");
    // Chains that double at each level stop at the growth cap instead of exhausting memory.
    for (int level = 0; level < 40; ++level) {
        const std::string next = "D" + std::to_string(level + 1);
        store.Set("D" + std::to_string(level), "x$" + next + "$$" + next + "$");
    }
    const std::string doubled = store.Expand("$D0$");
    EXPECT_LT(doubled.size(), kMaxExpansionGrowth);
    EXPECT_NE(doubled.find("$D"), std::string::npos) << "references beyond the cap stay as they are";
}

TEST(ExpandLarge, ManyReferencesInLongText) {
    TVariableManager store;
    store.Set("V", "value");
    std::string text;
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        text += "abc $V$ $NOPE$ ";
        expected += "abc value $NOPE$ ";
    }
    EXPECT_EQ(store.Expand(text), expected);
}

TEST(VariableNames, CaseIgnoredFirstSpellingKept) {
    TVariableManager store;
    store.Set("TargetDir", "C:\\A");
    store.Set("TARGETDIR", "C:\\B");
    store.Set("", "ignored");
    EXPECT_EQ(store.Get("targetdir"), "C:\\B");
    EXPECT_EQ(store.Get(""), "");
    EXPECT_FALSE(store.Exists(""));
    TextList dump;
    EXPECT_EQ(store.Dump(dump), 2u);
    EXPECT_EQ(dump, (TextList{"TargetDir", "C:\\B"}));
    store.Set("Empty", "");
    EXPECT_TRUE(store.Exists("EMPTY"));
    EXPECT_FALSE(store.Exists("MISSING"));
    store.Clear();
    EXPECT_FALSE(store.Exists("TargetDir"));
}

TEST(VariableNames, DumpKeepsFirstAssignmentOrder) {
    TVariableManager store;
    for (const char* name : {"Z", "A", "M", "B"}) store.Set(name, name);
    store.Set("a", "again");
    TextList dump;
    store.Dump(dump);
    EXPECT_EQ(dump, (TextList{"Z", "Z", "A", "again", "M", "M", "B", "B"}));
}

TEST(AssignVariable, SilentRunKeepsOverrides) {
    struct Case {
        bool silent;
        const char* origin;
        const char* expected;
    };
    for (const Case& c : {Case{true, "Set Variable Action", "D:\\App"}, Case{false, "Set Variable Action", "C:\\Script"},
                          Case{true, "Inject Override Command Line", "C:\\Script"}}) {
        TVariableManager store;
        store.SetOverrideList({"TARGETDIR", "D:\\App", "PROGRESS", "5"});
        store.SetSilent(c.silent);
        store.Set("TARGETDIR", "D:\\App");
        store.AssignVariable("targetdir", "C:\\Script", c.origin);
        EXPECT_EQ(store.Get("TARGETDIR"), c.expected) << c.silent << " " << c.origin;
    }
}

TEST(AssignVariable, OnlyNameLinesProtect) {
    TVariableManager store;
    store.SetSilent(true);
    // "TITLE" appears as a value line only: not protected. "X" appears as a
    // value first and as a later name line: protected.
    store.SetOverrideList({"A", "TITLE", "B", "X", "x", "1"});
    EXPECT_FALSE(store.IsProtected("TITLE"));
    EXPECT_TRUE(store.IsProtected("X"));
    EXPECT_TRUE(store.IsProtected("a"));
    store.AssignVariable("title", "Mine", "Set Variable Action");
    EXPECT_EQ(store.Get("TITLE"), "Mine");
    TextList dump;
    store.Dump(dump);
    EXPECT_EQ(dump[0], "TITLE") << "assigned names are upper-cased";
}

TEST(DefineVariable, CreatesOrAssigns) {
    TVariableManager store;
    store.DefineVariable("", "x", "Initialization");
    EXPECT_EQ(store.Count(), 0u);
    store.DefineVariable("Fresh", "1", "Initialization");
    store.DefineVariable("FRESH", "2", "Initialization");
    TextList dump;
    store.Dump(dump);
    EXPECT_EQ(dump, (TextList{"Fresh", "2"}));
}

TEST(ReadVariableExpanded, ReferenceOrBareName) {
    TVariableManager store;
    store.Set("T", "App");
    store.Set("W", "$T$ 1");
    EXPECT_EQ(store.ReadVariableExpanded("W"), "App 1");
    EXPECT_EQ(store.ReadVariableExpanded("$W$"), "App 1");
    EXPECT_EQ(store.ReadVariableExpanded("NONE"), "$VELKNX$");
    EXPECT_EQ(store.ReadVariableExpandedOrEmpty("$NONE$"), "");
}

TEST(VariableText, BooleansNewlinesReferences) {
    for (const char* text : {"TRUE", "true", "True", "-1"}) EXPECT_TRUE(TextToBool(text)) << text;
    for (const char* text : {"1", "yes", "", "FALSE", "TRUE ", "-1 "}) EXPECT_FALSE(TextToBool(text)) << text;
    EXPECT_EQ(BoolToText(true), "TRUE");
    EXPECT_EQ(BoolToText(false), "FALSE");
    EXPECT_EQ(NewlineToCrlf("a$NEWLINE$b$newline$c"), "a\r\nb\r\nc");
    EXPECT_EQ(CrlfToNewline("a\r\nb\nc\r"), "a$NEWLINE$b\nc\r");
    EXPECT_EQ(StripReference("$TITLE$"), "TITLE");
    for (const char* text : {"TITLE", "$TITLE", "TITLE$", "$A$B$", "$", "x$A$"}) {
        EXPECT_EQ(StripReference(text), "") << text;
    }
}

TEST(Snapshot, RestoreRecreatesTheStore) {
    TVariableManager store;
    store.Set("PLAIN", "value");
    store.Set("EMPTY", "");
    store.Set("BLANKS", "C:\\Program Files\\App");
    store.Set("COMMAS", "a,b,,c");
    store.Set("QUOTES", "say \"hi\"");
    store.Set("LINES", "one\r\ntwo");
    store.Set("LAST", "");
    const std::string snapshot = store.SnapshotVariables();
    EXPECT_EQ(snapshot.substr(0, 20), "PLAIN,value,EMPTY,,B");
    TVariableManager copy;
    copy.Set("STALE", "x");
    copy.RestoreVariables(snapshot);
    TextList original;
    TextList restored;
    store.Dump(original);
    copy.Dump(restored);
    EXPECT_EQ(restored, original);
}

TEST(Snapshot, ParsingRules) {
    struct Case {
        const char* text;
        TextList expected;
    };
    for (const Case& c : {Case{"A,1,B,2", {"A", "1", "B", "2"}}, Case{",,A,1", {"A", "1"}}, Case{"A,,B,2", {"A", "", "B", "2"}}, Case{"A,", {"A", ""}},
                          Case{"A, \"x \"\"y\"\"\" , B,", {"A", "x \"y\"", "B", ""}}, Case{"A,1,ODD", {"A", "1"}},
                          Case{"A b", {"A", "b"}}}) {
        TVariableManager store;
        store.RestoreVariables(c.text);
        TextList dump;
        store.Dump(dump);
        EXPECT_EQ(dump, c.expected) << c.text;
    }
}

TEST(Progress, ReportAndThreadProgress) {
    TVariableManager store;
    uint32_t tick = 1000;
    store.SetTickSource([&] { return tick; });
    store.ReportProgress("Copying", 0, 200, 50);
    EXPECT_EQ(store.Get(kThreadMax), "200");
    EXPECT_EQ(store.Get(kThreadProgress), "50");
    EXPECT_EQ(store.Get(kThreadProgressText), "Copying");
    EXPECT_EQ(store.Get(kLastDelegateTick), "1000");
    tick = 2000;
    store.ReportProgress("$IGNORE$", 0, 100, -1);
    EXPECT_EQ(store.Get(kThreadProgress), "50") << "position -1 keeps the values";
    EXPECT_EQ(store.Get(kThreadProgressText), "Copying");
    EXPECT_EQ(store.Get(kLastDelegateTick), "2000");
    store.Set(kThreadCancelled, "FALSE");
    EXPECT_TRUE(store.ThreadProgress("x", 1, 9, 5));
    EXPECT_EQ(store.Get(kThreadMin), "1");
    store.Set(kThreadCancelled, "false");
    EXPECT_FALSE(store.ThreadProgress("x", 1, 9, 6)) << "only exactly FALSE lets work continue";
}

TEST(Concurrency, WorkersAndExpansionShareTheStore) {
    TVariableManager store;
    store.Set("T", "x");
    std::thread worker([&] {
        for (int i = 0; i < 20000; ++i) store.ReportProgress("step", 0, 100, i % 100);
    });
    for (int i = 0; i < 20000; ++i) {
        const std::string text = store.Expand("$T$ $VELK_thProgress$");
        ASSERT_EQ(text.substr(0, 2), "x ");
    }
    worker.join();
    EXPECT_EQ(store.Get(kThreadProgressText), "step");
}

}  // namespace
}  // namespace kaviro::script
