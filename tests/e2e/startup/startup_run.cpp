#include "tests/e2e/startup/startup_run.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace kaviro::e2e {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Split(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream stream(line);
    while (std::getline(stream, field, separator)) fields.push_back(field);
    return fields;
}

}  // namespace

RunRequest SetupRequest(const std::string& executable, const Scratch& scratch,
                        std::vector<std::string> arguments) {
    RunRequest request;
    request.program = executable;
    request.arguments = std::move(arguments);
    request.workingFolder = fs::path(executable).parent_path().string();
    request.timeout = std::chrono::seconds(60);
    scratch.UseAsTemp(request.environment);
    return request;
}

const std::vector<std::string>& FullTrace() {
    static const std::vector<std::string> trace = {
        "<Kaviro>",
        "  <SetupSplash>",
        "    <StubSize>",
        "    </StubSize>",
        "    <StubData>",
        "    </StubData>",
        "    <GlobalLists>",
        "    </GlobalLists>",
        "    <SupportDir>",
        "    </SupportDir>",
        "    <ExtractArchive>",
        "    </ExtractArchive>",
        "    <ExtractResource>",
        "    </ExtractResource>",
        "    <ResourcePath>",
        "    </ResourcePath>",
        "    <Dialogs>",
        "    </Dialogs>",
        "  </SetupSplash>",
        "  <RunScript>",
        "    <Variables>",
        "    </Variables>",
        "    <CompileScript>",
        "    </CompileScript>",
        "    <BootStrap>",
        "    </BootStrap>",
        "    <velk>",
        "    </velk>",
        "    <ExitScript>",
        "    </ExitScript>",
        "  </RunScript>",
        "  <Free>",
        "  </Free>",
        "  <CachedSupportDir>",
        "  </CachedSupportDir>",
        "</Kaviro>",
    };
    return trace;
}

std::vector<std::string> TraceUpTo(const std::string& lastMarker) {
    const auto& full = FullTrace();
    const auto found = std::find(full.begin(), full.end(), lastMarker);
    return std::vector<std::string>(full.begin(), found == full.end() ? found : found + 1);
}

std::vector<std::string> TraceOfRuntimeErrorAfter(const std::string& lastMarker) {
    std::vector<std::string> trace = TraceUpTo(lastMarker);
    for (const char* marker : {"  <CachedSupportDir>", "  </CachedSupportDir>", "</Kaviro>"})
        trace.push_back(marker);
    return trace;
}

std::vector<std::string> SupportFolders(const std::string& temp) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(temp)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() && name.rfind("oru", 0) == 0)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    if (!fs::exists(folder))
        return names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file())
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

RunRequest DriverRequest(std::vector<std::string> arguments, int timeoutSeconds) {
    RunRequest request;
    request.program = DistDir() + "/kaviro-ui-driver.exe";
    request.arguments = std::move(arguments);
    request.timeout = std::chrono::seconds(timeoutSeconds);
    return request;
}

DriverResult ParseDriverOutput(const RunResult& run) {
    DriverResult result;
    result.exitCode = run.exitCode;
    std::istringstream stream(run.output);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("kaviro-launch:", 0) == 0)
            continue;
        result.lines.push_back(line);
        const std::vector<std::string> fields = Split(line, '\t');
        if (fields.size() < 6)
            continue;
        result.windows.push_back(
            {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5] == "visible"});
    }
    return result;
}

DriverResult RunDriver(std::vector<std::string> arguments, int timeoutSeconds) {
    return ParseDriverOutput(RunUnderWine(DriverRequest(std::move(arguments), timeoutSeconds)));
}

}  // namespace kaviro::e2e
