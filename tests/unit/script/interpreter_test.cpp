#include <gtest/gtest.h>

#include <deque>

#include "script/command_table.h"
#include "script/interpreter.h"
#include "script_builder.h"

namespace kaviro::script {
namespace {

using testing::ScriptBuilder;

class RecordingTrace : public TraceWriter {
public:
    void Trace(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

class RecordingReport : public ReportHost {
public:
    void ShowFatalError(const std::string& text) override { fatal.push_back(text); }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    std::vector<std::string> fatal;
    std::vector<std::string> errors;
};

class CountingPump : public MessagePump {
public:
    void ProcessPendingMessages() override { ++pumps; }
    void WaitOneMessage() override {}
    int pumps = 0;
};

class RecordingSettings : public SettingsSink {
public:
    void ApplyTracePath(const std::string& path) override { events.push_back("trace " + path); }
    void ApplySilent(bool silent) override { events.push_back(silent ? "silent" : "interactive"); }
    void ApplyTitle(const std::string& title) override { events.push_back("title " + title); }
    void ApplyLogo(bool logo) override { events.push_back(logo ? "logo on" : "logo off"); }
    void ApplyOverrideCache(const std::string& value) override { events.push_back("cache " + value); }
    void ApplyLanguage(const std::string& language) override { events.push_back("language " + language); }
    std::vector<std::string> events;
};

// Answers each dialog with the next programmed button and records the dialog names.
class ScriptedDialogs : public DialogHost {
public:
    explicit ScriptedDialogs(std::deque<DialogButton> buttons) : buttons_(std::move(buttons)) {}
    DialogButton DisplayDialog(RunContext& context, std::size_t index) override {
        shown += context.Parameter(index, 1);
        if (buttons_.empty()) return DialogButton::Next;
        const DialogButton button = buttons_.front();
        buttons_.pop_front();
        return button;
    }
    void HideDialog(RunContext&, std::size_t) override {}
    bool DialogOnScreen() const override { return false; }
    void PushProgress(const std::string&, int64_t) override {}
    std::string shown;

private:
    std::deque<DialogButton> buttons_;
};

struct ScriptRun {
    TVariableManager store;
    RecordingTrace trace;
    RecordingReport report;
    CountingPump pump;
    RecordingSettings settings;
    RunEnvironment environment;
    RunResult result;

    ScriptRun() {
        environment.variables = &store;
        environment.trace = &trace;
        environment.report = &report;
        environment.pump = &pump;
        environment.settings = &settings;
    }
    ScriptRun& Start(const Script& script) {
        result = RunScript(script, environment);
        return *this;
    }
    std::string Log() const { return store.Get("LOG"); }
};

ScriptBuilder Logged() { return std::move(ScriptBuilder().Set("LOG", "").Set("YES", "1").Set("NO", "0")); }

TEST(Blocks, OneBranchOfAChainRuns) {
    struct Case {
        const char* name;
        Script script;
        const char* log;
    };
    const std::vector<Case> cases = {
        {"false if, else", Logged().If("NO", "0", "1").Mark("a").Add("Else").Mark("b").Add("End").Mark("z").Build(),
         "bz"},
        {"true if, else", Logged().If("YES", "0", "1").Mark("a").Add("Else").Mark("b").Add("End").Mark("z").Build(),
         "az"},
        {"false if, true else if, else",
         Logged().If("NO", "0", "1").Mark("a").ElseIf("YES", "0", "1").Mark("b").Add("Else").Mark("c").Add("End").Mark("z").Build(),
         "bz"},
        {"false, false, else",
         Logged().If("NO", "0", "1").Mark("a").ElseIf("NO", "0", "1").Mark("b").Add("Else").Mark("c").Add("End").Mark("z").Build(),
         "cz"},
        {"nested false inside true",
         Logged().If("YES", "0", "1").If("NO", "0", "1").Mark("x").Add("End").Mark("y").Add("End").Mark("z").Build(),
         "yz"},
        {"nested blocks skipped whole",
         Logged().If("NO", "0", "1").If("YES", "0", "1").Mark("x").Add("Else").Mark("w").Add("End").Mark("y").Add("Else").Mark("e").Add("End").Mark("z").Build(),
         "ez"},
        {"disabled end ignored",
         Logged().If("NO", "0", "1").Mark("a").Add("End", {}, true).Mark("b").Add("End").Mark("z").Build(), "z"},
        {"disabled else ignored",
         Logged().If("NO", "0", "1").Mark("a").Add("Else", {}, true).Mark("b").Add("End").Mark("z").Build(), "z"},
        {"negation", Logged().If("NO", "0", "1", "TRUE").Mark("a").Add("End").Mark("z").Build(), "az"},
        {"ignore and comment", Logged().Add("Ignore", {"x"}).Add("Comment", {"x"}).Add("Code Folding Region").Add("Unknown Thing", {"a"}).Mark("z").Build(), "z"},
    };
    for (const Case& c : cases) {
        ScriptRun run;
        run.Start(c.script);
        EXPECT_EQ(run.result.end, RunEnd::Finished) << c.name << ": " << run.result.errorText;
        EXPECT_EQ(run.Log(), c.log) << c.name;
    }
}

TEST(Blocks, SecondBranchConditionIsSkippedAfterTrueFirst) {
    // Else If with a version condition that would raise: never evaluated after a true If.
    ScriptRun run;
    run.Start(Logged().Set("BAD", "x.1").If("YES", "0", "1").Mark("a").Add("Else If", {"BAD", "6", "1", "FALSE"}).Mark("b").Add("End").Build());
    EXPECT_EQ(run.result.end, RunEnd::Finished);
    run.Start(Logged().Set("BAD", "x.1").If("NO", "0", "1").Mark("a").Add("Else If", {"BAD", "6", "1", "FALSE"}).Mark("b").Add("End").Build());
    EXPECT_EQ(run.result.end, RunEnd::Fatal) << "a false If evaluates the Else If";
}

TEST(WizardLoop, NavigationFollowsTheButtons) {
    struct Case {
        std::deque<DialogButton> buttons;
        const char* shown;
    };
    using B = DialogButton;
    for (const Case& c : {Case{{B::Next, B::Next, B::Back, B::Next, B::Next}, "12323"}, Case{{B::Back}, "1"},
                          Case{{B::Next, B::Cancel}, "12"}, Case{{B::Next, B::Other, B::Next}, "123"},
                          Case{{B::Next, B::Back, B::Back}, "121"}}) {
        ScriptedDialogs dialogs(c.buttons);
        ScriptRun run;
        run.environment.dialogs = &dialogs;
        run.Start(Logged()
                      .Mark("a")
                      .Add("Wizard Loop")
                      .Add("Display Dialog", {"1", "WIZARD", "TRUE", ""})
                      .Add("Comment", {"between"})
                      .Add("Display Dialog", {"x", "WIZARD", "TRUE", ""}, true)
                      .Add("Display Dialog", {"2", "WIZARD", "TRUE", ""})
                      .Add("Display Dialog", {"3", "WIZARD", "TRUE", ""})
                      .Add("End")
                      .Mark("z")
                      .Build());
        EXPECT_EQ(run.result.end, RunEnd::Finished);
        EXPECT_EQ(dialogs.shown, c.shown);
        EXPECT_EQ(run.Log(), "az") << "the script continues after the loop's End";
    }
}

TEST(WizardLoop, WithoutDialogHostEveryDialogAnswersNext) {
    ScriptRun run;
    run.Start(Logged()
                  .Add("Wizard Loop")
                  .Add("Display Dialog", {"1", "RESULT", "TRUE", ""})
                  .Add("Display Dialog", {"2", "RESULT", "TRUE", ""})
                  .Add("End")
                  .If("RESULT", "0", "NEXT")
                  .Mark("next")
                  .Add("End")
                  .Build());
    EXPECT_EQ(run.Log(), "next");
}

TEST(Labels, GoToRepeatsAndLeavesBlocks) {
    ScriptRun run;
    run.Start(Logged()
                  .Set("I", "0")
                  .Add("Label", {"Again"})
                  .Add("Mathematics", {"$I$", "1", "0", "I"})
                  .Mark("$I$")
                  .If("I", "2", "2")
                  .Add("GoTo Label", {"out"})
                  .Add("End")
                  .Add("GoTo Label", {"AGAIN"})
                  .Add("Label", {"OUT"})
                  .Mark("|")
                  // A GoTo from inside a branch lands at the outer level: the following
                  // Else must not be taken as the end of a branch that ran.
                  .If("YES", "0", "1")
                  .Add("GoTo Label", {"fin"})
                  .Add("End")
                  .Add("Label", {"fin"})
                  .If("NO", "0", "1")
                  .Mark("no")
                  .Add("Else")
                  .Mark("else")
                  .Add("End")
                  .Build());
    EXPECT_EQ(run.result.end, RunEnd::Finished) << run.result.errorText;
    EXPECT_EQ(run.Log(), "123|else");
}

TEST(RunEnds, TerminateAndExitCodes) {
    struct Case {
        Script script;
        int32_t exitCode;
        RunEnd end;
        const char* log;
    };
    const std::vector<Case> cases = {
        {Logged().Mark("a").Add("Terminate with Exit Code", {"3010"}).Mark("b").Build(), 3010, RunEnd::Terminated, "a"},
        {Logged().Set("CODE", "-7").Add("Terminate with Exit Code", {"$CODE$"}).Build(), -7, RunEnd::Terminated, ""},
        {Logged().Add("Terminate with Exit Code", {"12abc"}).Build(), 0, RunEnd::Terminated, ""},
        {Logged().Mark("a").Add("Terminate Install").Mark("b").Build(), 0, RunEnd::Terminated, "a"},
        {Logged().Mark("a").Build(), 0, RunEnd::Finished, "a"},
        {Logged().If("YES", "0", "1").Build(), kValidationExitCode, RunEnd::ValidationFailed, ""},
    };
    for (const Case& c : cases) {
        ScriptRun run;
        run.Start(c.script);
        EXPECT_EQ(run.result.exitCode, c.exitCode);
        EXPECT_EQ(run.result.end, c.end);
        EXPECT_EQ(run.Log(), c.log);
    }
}

TEST(RunEnds, ValidationFailureTracesNothingAfterCompileScript) {
    ScriptRun run;
    run.Start(Logged().If("YES", "0", "1").Mark("a").Build());
    EXPECT_EQ(run.result.end, RunEnd::ValidationFailed);
    EXPECT_EQ(run.result.offendingStatement, 5u);
    EXPECT_EQ(run.trace.lines, (std::vector<std::string>{"    <Variables>", "    </Variables>", "    <CompileScript>"}));
    EXPECT_TRUE(run.report.fatal.empty());
    EXPECT_EQ(run.settings.events.size(), 0u);
}

TEST(RunEnds, NormalEndMarkers) {
    ScriptRun run;
    run.Start(Logged().Build());
    EXPECT_EQ(run.trace.lines,
              (std::vector<std::string>{"    <Variables>", "    </Variables>", "    <CompileScript>", "    </CompileScript>",
                                        "    <BootStrap>", "    </BootStrap>", "    <velk>", "    </velk>", "    <ExitScript>", "    </ExitScript>"}));
}

TEST(FatalErrors, ReportNamesSourceFileAndLine) {
    ScriptRun run;
    run.Start(Logged().Mark("a").Add("Extract Path", {"LOG", "two"}).Mark("b").Build());
    EXPECT_EQ(run.result.end, RunEnd::Fatal);
    EXPECT_EQ(run.result.exitCode, 0);
    EXPECT_EQ(run.Log(), "a");
    ASSERT_EQ(run.report.fatal.size(), 1u);
    const std::string& text = run.report.fatal[0];
    EXPECT_EQ(text.rfind("Runtime error in setup script:\r\rSource File: Sample\rLine Number: 15\r\r", 0), 0u) << text;
    EXPECT_NE(text.find("two"), std::string::npos);

    ScriptRun silent;
    silent.environment.run.silent = true;
    silent.Start(Logged().Add("Set Variable", {"A", "1"}).Add("Terminate with Exit Code", {"5"}).Build());
    EXPECT_EQ(silent.result.exitCode, 5);
    ScriptRun silentFatal;
    silentFatal.environment.run.silent = true;
    silentFatal.Start(Logged().Add("Extract Path", {"LOG", "x"}).Build());
    EXPECT_EQ(silentFatal.result.end, RunEnd::Fatal);
    EXPECT_TRUE(silentFatal.report.fatal.empty()) << "a silent run shows no message";
}

TEST(FatalErrors, ExitCodeSetBeforeTheErrorIsKept) {
    // There is no statement that sets the code without ending the run, so a
    // fatal error after the start ends with exit code 0.
    ScriptRun run;
    run.Start(Logged().Add("Extract Path", {"LOG", "x"}).Build());
    EXPECT_EQ(run.result.exitCode, 0);
}

TEST(Dispatch, NamesCompareExactlyAndPluginsAreRouted) {
    struct Plugins : PluginHost {
        void RunPlugin(RunContext& context, std::size_t index) override { ran += context.Name(index) + ";"; }
        std::string ran;
    } plugins;
    CommandTable table;
    RegisterScriptCommands(table);
    int custom = 0;
    table.Register("My Command", [&](RunContext&, std::size_t) { ++custom; });
    ScriptRun run;
    run.environment.commands = &table;
    run.environment.plugins = &plugins;
    run.Start(Logged()
                  .PluginNames({"zip Files"})
                  .Add("My Command")
                  .Add("my command")
                  .Add("Set variable", {"LOG", "lower-case name does nothing"})
                  .Add("Zip files", {"a"})
                  .Add("My Command", {}, true)
                  .Build());
    EXPECT_EQ(custom, 1);
    EXPECT_EQ(run.Log(), "");
    EXPECT_EQ(plugins.ran, "Zip files;");
}

TEST(Refresh, EngineSettingsFollowVariables) {
    ScriptRun run;
    run.environment.run.overrides = {"LOGGED", "c:\\first.log"};
    run.Start(Logged()
                  .Set("LOGGED", "c:\\second.log")
                  .Set("TITLE", "My App")
                  .Set("SILENT", "true")
                  .Set("VELKLOGO", "True")
                  .Set("VELKLOGO", "TRUE")
                  .Set("OVERRIDECACHE", "D:\\Cache")
                  .Set("LANGUAGE", "German")
                  .Mark("a")
                  .Build());
    // The first refresh hands over the package title, which TITLE starts with.
    const std::vector<std::string> expected = {"trace c:\\first.log", "interactive", "title Sample", "logo off",
                                               "trace c:\\second.log", "title My App", "silent", "logo on",
                                               "cache D:\\Cache", "language German"};
    EXPECT_EQ(run.settings.events, expected);
}

TEST(Refresh, AbortMirrorsCancellation) {
    ScriptRun run;
    run.Start(Logged()
                  .Set("ABORT", "TRUE")
                  .If("ABORT", "0", "TRUE")
                  .Mark("seen")
                  .Add("End")
                  .Set("VELK_IsCancelled", "FALSE")
                  .If("ABORT", "0", "FALSE")
                  .Mark("cleared")
                  .Add("End")
                  .Build());
    EXPECT_EQ(run.Log(), "seencleared");
}

TEST(Refresh, MessagesArePumpedEvery314Statements) {
    ScriptBuilder builder = Logged();
    for (int i = 0; i < 1000; ++i) builder.Set("A", std::to_string(i));
    ScriptRun run;
    run.Start(builder.Build());
    // Statements fetched: 3 + 1000; counters 0, 314, 628, 942 pump.
    EXPECT_EQ(run.pump.pumps, 4);
}

TEST(Overrides, InjectedLastAndKeptInSilentRuns) {
    for (bool silent : {true, false}) {
        ScriptRun run;
        run.environment.run.silent = silent;
        run.environment.run.overrides = {"TARGETDIR", "D:\\App", "Progress", "5"};
        run.Start(Logged().Set("TARGETDIR", "C:\\Script").Set("PROGRESS", "50").Build());
        EXPECT_EQ(run.store.Get("TARGETDIR"), silent ? "D:\\App" : "C:\\Script");
        EXPECT_EQ(run.store.Get("PROGRESS"), silent ? "5" : "50");
    }
}

TEST(ReservedVariables, CreatedAtRunStart) {
    ScriptRun run;
    run.store.Set("STALE", "from an earlier run");
    run.Start(Logged().Build());
    EXPECT_FALSE(run.store.Exists("STALE"));
    EXPECT_EQ(run.store.Get("VELK_thMax"), "100");
    EXPECT_EQ(run.store.Get("VELK_thFinished"), "FALSE");
    EXPECT_EQ(run.store.Get("VELK_IsCancelled"), "FALSE");
    EXPECT_EQ(run.store.Get("VELK_LastDelegateTick"), run.store.Get("VELK_LastActiveTick"));
    EXPECT_TRUE(run.store.Exists("VELK_thProgressText"));
    EXPECT_FALSE(run.store.Exists("VELK_DISABLEROLLBACK")) << "validation declarations are cleared";
}

}  // namespace
}  // namespace kaviro::script
