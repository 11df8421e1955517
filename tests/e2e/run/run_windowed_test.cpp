// Runs with a user interface under the test run's Xvfb display: the fatal
// error box as the UI driver reads it, and command-line overrides.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/e2e/run/run_script_text.h"
#include "tests/e2e/script/script_project.h"
#include "tests/e2e/startup/startup_run.h"

namespace kaviro::e2e {
namespace {

namespace fs = std::filesystem;

RunRequest WindowedRequest(const Scratch& scratch, const std::string& setup, std::vector<std::string> arguments) {
    fs::create_directories(scratch.Temp());
    RunRequest request;
    request.program = setup;
    request.arguments = std::move(arguments);
    request.arguments.push_back("/l=" + ToWindowsPath(scratch.Path() + "/trace.txt"));
    request.timeout = std::chrono::seconds(90);
    scratch.UseAsTemp(request.environment);
    return request;
}

Lines ResultLines(const Scratch& scratch) {
    return ReadTextLines(scratch.Temp() + "/result.txt");
}

// The program's own output without the launcher's lines.
std::string ProgramOutput(const RunResult& run) {
    std::string text;
    std::size_t start = 0;
    while (start < run.output.size()) {
        std::size_t end = run.output.find('\n', start);
        if (end == std::string::npos) end = run.output.size();
        const std::string line = run.output.substr(start, end - start);
        if (line.rfind("kaviro-launch:", 0) != 0) text += line + "\n";
        start = end + 1;
    }
    return text;
}

TEST(RunWindowed, FatalErrorBoxNamesSourceFileAndLine) {
    Scratch scratch;
    const std::string head = Statement("Set Variable", {"PART", "two"}) + WriteResult("before");
    const std::string script = head + Statement("Extract Path", {"PART", "$PART$"}) + WriteResult("after");
    const int line = LineCount(head) + 1;
    WineProcess setup(WindowedRequest(scratch, BuildScriptSetup(scratch, script), {}));

    const DriverResult box = RunDriver({"wait", "--class", "#32770", "--timeout", "60000"}, 90);
    ASSERT_EQ(box.exitCode, 0) << "no message box appeared";
    ASSERT_EQ(box.windows.size(), 1u);
    EXPECT_EQ(box.windows[0].text, "Script Test - Kaviro Wizard");

    std::string shown;
    for (const DriverWindow& control : RunDriver({"controls", box.windows[0].handle}).windows) {
        if (control.className != "Static" || control.text.rfind("Runtime error", 0) != 0) continue;
        shown = ProgramOutput(RunUnderWine(DriverRequest({"text", control.handle})));
    }
    const std::string expected = "Runtime error in setup script:\r\rSource File: setup\rLine Number: " +
                                 std::to_string(line) + "\r\r'two' is not a valid integer value";
    EXPECT_EQ(shown.rfind(expected, 0), 0u) << shown;
    EXPECT_EQ(ResultLines(scratch), (Lines{"before"})) << "the box is up before the run ends";

    EXPECT_EQ(RunDriver({"click-button", box.windows[0].handle, "OK"}).exitCode, 0);
    const RunResult run = setup.Wait(std::chrono::seconds(60));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(ResultLines(scratch), (Lines{"before"}));
    const Lines trace = ReadUtf16Lines(scratch.Path() + "/trace.txt");
    ASSERT_GE(trace.size(), 7u);
    EXPECT_EQ(Lines(trace.end() - 7, trace.end()),
              (Lines{"    <velk>", "  </RunScript>", "  <Free>", "  </Free>", "  <CachedSupportDir>",
                     "  </CachedSupportDir>", "</Kaviro>"}));
    EXPECT_TRUE(SupportFolders(scratch.Temp()).empty()) << "the support folder is removed after the box";
}

TEST(RunWindowed, OverridesWinOverInitialValuesAndScriptAssignmentsWinOverOverrides) {
    Scratch scratch;
    const std::string script = WriteResult("target=$TARGETDIR$") + WriteResult("license=$LICENSE$") +
                               WriteResult("silent=$SILENT$") + WriteResult("mode=$MODE$") +
                               Statement("Set Variable", {"PROGRESS", "50"}) + WriteResult("progress=$PROGRESS$");
    WineProcess setup(WindowedRequest(scratch, BuildScriptSetup(scratch, script),
                                      {"TARGETDIR=D:\\App", "license=accepted", "Mode=Command Line", "PROGRESS=5"}));
    const RunResult run = setup.Wait(std::chrono::seconds(90));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(ResultLines(scratch), (Lines{"target=D:\\App", "license=accepted", "silent=FALSE",
                                           "mode=Command Line", "progress=50"}));
}

}  // namespace
}  // namespace kaviro::e2e
