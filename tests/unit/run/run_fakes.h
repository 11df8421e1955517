#pragma once
// Recording seams for the run start and end tests.

#include <set>
#include <string>
#include <vector>

#include "engine/text_util.h"
#include "script/command_table.h"
#include "script/interpreter.h"
#include "script/run_context.h"

namespace kaviro::script::testing {

// Files in memory; every call is recorded in order.
class FakeLifecycle : public RunLifecycleHost {
public:
    bool FileExists(const std::string& path) override {
        calls.push_back("exists " + path);
        return files.count(path) != 0;
    }
    bool CreateEmptyFile(const std::string& path) override {
        calls.push_back("create " + path);
        if (refuseCreate) return false;
        files.insert(path);
        return true;
    }
    void RemoveFile(const std::string& path) override {
        calls.push_back("delete " + path);
        files.erase(path);
    }
    void DeleteResumeEntry(const std::string& valueName) override { calls.push_back("resume " + valueName); }
    bool SetupMediaRemoved(const std::string& setupFolder) override {
        calls.push_back("media " + setupFolder);
        return mediaRemoved;
    }

    std::set<std::string> files;
    std::vector<std::string> calls;
    bool refuseCreate = false;
    bool mediaRemoved = false;
};

class RecordingTrace : public TraceWriter {
public:
    void Trace(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

class RecordingReport : public ReportHost {
public:
    explicit RecordingReport(std::vector<std::string>& events) : events_(events) {}
    void ShowFatalError(const std::string& text) override { events_.push_back("fatal box " + text); }
    void ShowError(const std::string& text) override { events_.push_back("box " + text); }

private:
    std::vector<std::string>& events_;
};

class RecordingPrompt : public PromptStateHost {
public:
    explicit RecordingPrompt(std::vector<std::string>& events) : events_(events) {}
    void EnterPromptState(bool error) override { events_.push_back(error ? "enter error" : "enter paused"); }
    void LeavePromptState() override { events_.push_back("leave"); }

private:
    std::vector<std::string>& events_;
};

// A run with every seam recording. "Probe" statements append what the test
// asks for to `probes`.
struct LifecycleRun {
    TVariableManager store;
    FakeLifecycle lifecycle;
    RecordingTrace trace;
    std::vector<std::string> events;  // boxes and prompt states, in order
    RecordingReport report{events};
    RecordingPrompt prompt{events};
    CommandTable commands;
    RunEnvironment environment;
    RunResult result;

    LifecycleRun() {
        RegisterScriptCommands(commands);
        environment.variables = &store;
        environment.commands = &commands;
        environment.lifecycle = &lifecycle;
        environment.trace = &trace;
        environment.report = &report;
        environment.prompt = &prompt;
        environment.run.setupFolder = "E:\\Setup\\";
        environment.run.facts.temporaryFolder = "C:\\Temp";
        environment.run.facts.executablePath = "E:\\Setup\\setup.exe";
    }
    LifecycleRun& Start(const Script& script) {
        result = RunScript(script, environment);
        return *this;
    }
};

}  // namespace kaviro::script::testing
