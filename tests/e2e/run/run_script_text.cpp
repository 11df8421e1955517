#include "tests/e2e/run/run_script_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/e2e/support/wine_run.h"

namespace kaviro::e2e {

std::string Statement(const std::string& name, const Lines& parameters) {
    std::string text = name + "\n";
    for (const std::string& parameter : parameters)
        text += parameter.empty() ? "    |\n" : "    | " + parameter + "\n";
    return text;
}

std::string WriteResult(const std::string& text) {
    return Statement("Write to Text File", {"$TEMPDIR$result.txt", text, ""});
}

int LineCount(const std::string& scriptText) {
    return static_cast<int>(std::count(scriptText.begin(), scriptText.end(), '\n'));
}

bool RegistryValueExists(const std::string& key, const std::string& name) {
    return RunWineCommand({"reg", "query", key, "/v", name}).exitCode == 0;
}

void SetRegistryValue(const std::string& key, const std::string& name, const std::string& data) {
    const RunResult run = RunWineCommand({"reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", data, "/f"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
}

void DeleteRegistryValue(const std::string& key, const std::string& name) {
    // Absent already is fine: the test only needs it gone.
    (void)RunWineCommand({"reg", "delete", key, "/v", name, "/f"});
}

std::string RegistryText(const std::string& key, const std::string& name, bool* found) {
    const RunResult run = RunWineCommand({"reg", "query", key, "/v", name});
    if (found) *found = run.exitCode == 0;
    if (run.exitCode != 0) return {};
    // "    NAME    REG_SZ    data"
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t type = line.find("REG_SZ");
        if (type == std::string::npos) continue;
        const std::size_t data = line.find_first_not_of(' ', type + 6);
        return data == std::string::npos ? std::string() : line.substr(data);
    }
    return {};
}

}  // namespace kaviro::e2e
