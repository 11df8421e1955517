// kaviro-launch [--env NAME=VALUE]... [--cwd FOLDER] (--raw COMMANDLINE | -- PROGRAM [ARG]...)
//
// Sets the environment variables (TEMP and TMP among them: under Wine the
// Unix environment never reaches those), starts the program, waits for it
// and prints "kaviro-launch: exit N" with its full exit code. With --raw the
// command line is handed to the program exactly as given, so tests can check
// how the engine reads its own command line.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// Quotes one argument so that the usual command-line parsing returns it unchanged.
std::wstring QuoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') quoted.append(backslashes * 2 + 1, L'\\');
        else quoted.append(backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

int Fail(const wchar_t* what) {
    std::fwprintf(stderr, L"kaviro-launch: %ls (error %lu)\n", what, GetLastError());
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring commandLine;
    std::wstring workingFolder;
    int i = 1;
    for (; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--env" && i + 1 < argc) {
            const std::wstring assignment = argv[++i];
            const std::size_t equals = assignment.find(L'=');
            if (equals == std::wstring::npos) return Fail(L"--env needs NAME=VALUE");
            SetEnvironmentVariableW(assignment.substr(0, equals).c_str(), assignment.substr(equals + 1).c_str());
        } else if (argument == L"--cwd" && i + 1 < argc) {
            workingFolder = argv[++i];
        } else if (argument == L"--raw" && i + 1 < argc) {
            commandLine = argv[++i];
            break;
        } else if (argument == L"--") {
            for (++i; i < argc; ++i) {
                if (!commandLine.empty()) commandLine += L' ';
                commandLine += QuoteArgument(argv[i]);
            }
            break;
        } else {
            return Fail(L"usage: kaviro-launch [--env NAME=VALUE]... [--cwd DIR] (--raw CMDLINE | -- PROGRAM ARGS...)");
        }
    }
    if (commandLine.empty()) return Fail(L"no program given");

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process)) {
        return Fail(L"cannot start the program");
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    std::printf("kaviro-launch: exit %lu\n", static_cast<unsigned long>(exitCode));
    std::fflush(stdout);
    return 0;
}
