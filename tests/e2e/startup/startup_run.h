#pragma once
// Running a setup and the UI driver for the start-up tests.

#include <string>
#include <vector>

#include "tests/e2e/support/scratch.h"
#include "tests/e2e/support/wine_run.h"

namespace kaviro::e2e {

// A run request for a setup: the scratch folder's TEMP, working folder the setup's.
RunRequest SetupRequest(const std::string& executable, const Scratch& scratch,
                        std::vector<std::string> arguments);

// Trace markers of a whole run, start to end.
const std::vector<std::string>& FullTrace();
// The markers of a run up to and including the given one.
std::vector<std::string> TraceUpTo(const std::string& lastMarker);
// The markers written after a runtime error at the given point: everything up
// to it, then the cleanup.
std::vector<std::string> TraceOfRuntimeErrorAfter(const std::string& lastMarker);

// Names of the "oruN" folders in a TEMP folder, sorted.
std::vector<std::string> SupportFolders(const std::string& temp);
// Every file name in a folder (no folders), sorted.
std::vector<std::string> FileNames(const std::string& folder);

// One window or control line of the UI driver, split into its fields.
struct DriverWindow {
    std::string handle;
    std::string className;
    std::string text;
    std::string geometry;    // left,top,width,height
    std::string clientSize;  // WxH
    bool visible = false;
};

struct DriverResult {
    int exitCode = -1;
    std::vector<DriverWindow> windows;  // the lines it printed, in order
    std::vector<std::string> lines;     // every line it printed
};

RunRequest DriverRequest(std::vector<std::string> arguments, int timeoutSeconds = 30);
DriverResult RunDriver(std::vector<std::string> arguments, int timeoutSeconds = 30);
DriverResult ParseDriverOutput(const RunResult& run);

}  // namespace kaviro::e2e
