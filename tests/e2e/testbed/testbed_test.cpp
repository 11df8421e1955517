// The test bed itself: programs run in the private prefix, with the test's
// own TEMP, and report their full exit code.
#include <gtest/gtest.h>

#include "tests/e2e/support/scratch.h"
#include "tests/e2e/support/wine_run.h"

namespace kaviro::e2e {
namespace {

TEST(TestBed, LauncherReportsFullExitCodeAndSetsTemp) {
    Scratch scratch;
    RunRequest request;
    request.program = "C:\\windows\\system32\\cmd.exe";
    request.workingFolder = scratch.Path();
    request.rawArguments = "/c echo temp=%TEMP%& exit 314";
    scratch.UseAsTemp(request.environment);
    const RunResult result = RunUnderWine(request);
    ASSERT_TRUE(result.launched) << result.output;
    EXPECT_EQ(result.exitCode, 314);
    EXPECT_NE(result.output.find("temp=" + ToWindowsPath(scratch.Temp())), std::string::npos) << result.output;
}

TEST(TestBed, HungProgramIsKilledAtTheTimeout) {
    RunRequest request;
    request.program = "C:\\windows\\system32\\cmd.exe";
    request.rawArguments = "/c ping -n 30 127.0.0.1 >nul";
    request.timeout = std::chrono::seconds(2);
    const RunResult result = RunUnderWine(request);
    EXPECT_TRUE(result.timedOut);
    EXPECT_FALSE(result.launched);
}

TEST(TestBed, Utf16TraceLinesReadBack) {
    Scratch scratch;
    const std::string bytes("<\0K\0>\0\r\0\n\0 \0\xE9\0\r\0\n\0", 18);
    WriteFileBytes(scratch.Path() + "/trace.txt", bytes);
    EXPECT_EQ(ReadUtf16Lines(scratch.Path() + "/trace.txt"), (std::vector<std::string>{"<K>", " \xC3\xA9"}));
}

}  // namespace
}  // namespace kaviro::e2e
