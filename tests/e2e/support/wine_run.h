#pragma once
// Runs Windows programs of the 64-bit build under Wine for end-to-end tests.
// Every run goes through kaviro-launch.exe, which sets the Windows
// environment (TEMP and TMP above all) and reports the full exit code.

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kaviro::e2e {

// Paths of the test run, fixed when the tests are configured.
std::string SourceDir();        // the repository
std::string DistDir();          // dist/x64: engine.exe, oru.lib, kaviro-launch.exe, test tools
std::string HostDistDir();      // dist/host: the builder
std::string E2eDir();           // build/host/e2e: prefix, display, scratch folders
std::string WinePrefix();       // the run's private prefix (made by the wine_prefix fixture)
std::string Display();          // the run's Xvfb display, ":N"

// Z:\... path of a Linux path (Wine maps Z: to the root).
std::string ToWindowsPath(const std::string& linuxPath);

struct RunRequest {
    std::string program;                     // Linux path or Windows path of the program
    std::vector<std::string> arguments;      // quoted for the program by the launcher
    std::optional<std::string> rawArguments; // the exact text after the program part, instead of `arguments`
    std::map<std::string, std::string> environment;  // Windows environment additions (TEMP, TMP, ...)
    std::string workingFolder;               // Linux path; empty: the program's folder
    std::chrono::seconds timeout{60};
};

struct RunResult {
    int exitCode = -1;       // the program's full 32-bit exit code (as signed)
    bool timedOut = false;   // killed after the timeout
    bool launched = false;   // the launcher reported an exit code
    std::string output;      // launcher's and program's stdout and stderr
};

// A program running in the background (for tests that act on its windows).
class WineProcess {
public:
    explicit WineProcess(const RunRequest& request);
    ~WineProcess();
    WineProcess(const WineProcess&) = delete;
    WineProcess& operator=(const WineProcess&) = delete;

    bool Running();
    // Waits for the end; kills the process group after the timeout.
    RunResult Wait(std::chrono::seconds timeout);

private:
    int pid_ = -1;
    std::string outputPath_;
    std::optional<RunResult> result_;
};

RunResult RunUnderWine(const RunRequest& request);

// Runs a plain command inside the prefix (wine64 reg query ..., cmd /c ...)
// without the launcher; returns the wine exit status (8 bits) and output.
RunResult RunWineCommand(const std::vector<std::string>& command, std::chrono::seconds timeout = std::chrono::seconds(60));

}  // namespace kaviro::e2e
