#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

#include "tools/builder/build_error.h"
#include "tools/builder/run_program.h"

extern char** environ;

namespace kaviro::builder {

int RunProgram(const std::vector<std::string>& commandLine) {
    std::vector<char*> arguments;
    for (const auto& argument : commandLine) arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    pid_t child = 0;
    const int spawnError = posix_spawnp(&child, arguments[0], nullptr, nullptr, arguments.data(), environ);
    if (spawnError != 0) {
        throw BuildError("cannot start " + commandLine[0] + ": " + std::strerror(spawnError));
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            throw BuildError("cannot wait for " + commandLine[0] + ": " + std::strerror(errno));
    }
    if (WIFEXITED(status)) {
        // posix_spawnp reports a program missing from PATH as exit code 127 of the child.
        if (WEXITSTATUS(status) == 127)
            throw BuildError("cannot start " + commandLine[0] + " (not found on PATH?)");
        return WEXITSTATUS(status);
    }
    throw BuildError(commandLine[0] + " ended abnormally (signal " + std::to_string(WTERMSIG(status)) + ")");
}

}  // namespace kaviro::builder
