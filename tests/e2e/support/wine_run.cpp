#include "tests/e2e/support/wine_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/e2e/support/scratch.h"

extern char** environ;

namespace kaviro::e2e {
namespace {

constexpr const char* kWine = "/usr/lib/wine/wine64";

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

// The Unix environment of every wine process of the test run.
std::vector<std::string> WineEnvironment() {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (text.rfind("WINEPREFIX=", 0) == 0 || text.rfind("WINEDEBUG=", 0) == 0 ||
            text.rfind("WINEDLLOVERRIDES=", 0) == 0 || text.rfind("DISPLAY=", 0) == 0) {
            continue;
        }
        environment.push_back(text);
    }
    environment.push_back("WINEPREFIX=" + WinePrefix());
    environment.push_back("WINEDEBUG=-all");
    environment.push_back("WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d");
    environment.push_back("DISPLAY=" + Display());
    return environment;
}

// Starts argv in its own process group with stdout and stderr in outputPath.
int Spawn(const std::vector<std::string>& argv, const std::string& outputPath) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto environment = WineEnvironment();
    std::vector<char*> env;
    for (const auto& e : environment) env.push_back(const_cast<char*>(e.c_str()));
    env.push_back(nullptr);

    pid_t pid = -1;
    const int error = posix_spawn(&pid, argv[0].c_str(), &actions, &attributes, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
    return pid;
}

std::string NewOutputPath() {
    static int counter = 0;
    const std::string folder = E2eDir() + "/output";
    std::filesystem::create_directories(folder);
    return folder + "/" + std::to_string(getpid()) + "-" + std::to_string(++counter) + ".txt";
}

// Waits for pid; after the timeout kills its whole process group.
RunResult WaitFor(int pid, const std::string& outputPath, std::chrono::seconds timeout, bool launcher) {
    RunResult result;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Children of the program (started through CreateProcess) share the group.
    kill(-pid, SIGKILL);
    result.output = ReadFileBytes(outputPath);
    std::filesystem::remove(outputPath);
    if (launcher) {
        static const std::regex exitLine(R"(kaviro-launch: exit (\d+))");
        std::smatch match;
        if (!result.timedOut && std::regex_search(result.output, match, exitLine)) {
            result.launched = true;
            result.exitCode = static_cast<int>(static_cast<uint32_t>(std::stoul(match[1].str())));
        }
    } else if (!result.timedOut && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
        result.launched = true;
    }
    return result;
}

std::vector<std::string> LauncherArgv(const RunRequest& request) {
    std::vector<std::string> argv = {kWine, DistDir() + "/kaviro-launch.exe"};
    for (const auto& [name, value] : request.environment) {
        argv.push_back("--env");
        argv.push_back(name + "=" + value);
    }
    const bool windowsPath = request.program.size() > 1 && request.program[1] == ':';
    const std::string program = windowsPath ? request.program : ToWindowsPath(request.program);
    std::string workingFolder = request.workingFolder;
    if (workingFolder.empty() && !windowsPath) {
        workingFolder = std::filesystem::path(request.program).parent_path().string();
    }
    if (!workingFolder.empty()) {
        argv.push_back("--cwd");
        argv.push_back(ToWindowsPath(workingFolder));
    }
    if (request.rawArguments) {
        argv.push_back("--raw");
        argv.push_back("\"" + program + "\"" + (request.rawArguments->empty() ? "" : " " + *request.rawArguments));
    } else {
        argv.push_back("--");
        argv.push_back(program);
        for (const auto& a : request.arguments) argv.push_back(a);
    }
    return argv;
}

}  // namespace

std::string SourceDir() { return KAVIRO_SOURCE_DIR; }
std::string DistDir() { return SourceDir() + "/dist/x64"; }
std::string HostDistDir() { return SourceDir() + "/dist/host"; }
std::string E2eDir() { return KAVIRO_E2E_DIR; }

std::string WinePrefix() {
    const std::string prefix = E2eDir() + "/wineprefix";
    if (!std::filesystem::exists(prefix + "/system.reg")) {
        throw std::runtime_error("no Wine prefix at " + prefix + ": run the tests through ctest (fixture wine_prefix)");
    }
    return prefix;
}

std::string Display() {
    static const std::string display = [] {
        std::ifstream file(E2eDir() + "/display");
        std::string number;
        std::getline(file, number);
        number = Trimmed(number);
        return number.empty() ? std::string() : ":" + number;
    }();
    return display;
}

std::string ToWindowsPath(const std::string& linuxPath) {
    std::string path = std::filesystem::absolute(linuxPath).lexically_normal().string();
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return "Z:" + path;
}

WineProcess::WineProcess(const RunRequest& request) : outputPath_(NewOutputPath()) {
    pid_ = Spawn(LauncherArgv(request), outputPath_);
}

WineProcess::~WineProcess() {
    if (!result_) Wait(std::chrono::seconds(0));
}

bool WineProcess::Running() {
    if (result_) return false;
    int status = 0;
    return waitpid(pid_, &status, WNOHANG | WNOWAIT) == 0;
}

RunResult WineProcess::Wait(std::chrono::seconds timeout) {
    if (!result_) result_ = WaitFor(pid_, outputPath_, timeout, true);
    return *result_;
}

RunResult RunUnderWine(const RunRequest& request) {
    WineProcess process(request);
    return process.Wait(request.timeout);
}

RunResult RunWineCommand(const std::vector<std::string>& command, std::chrono::seconds timeout) {
    std::vector<std::string> argv = {kWine};
    argv.insert(argv.end(), command.begin(), command.end());
    const std::string outputPath = NewOutputPath();
    return WaitFor(Spawn(argv, outputPath), outputPath, timeout, false);
}

}  // namespace kaviro::e2e
