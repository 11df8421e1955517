#include <windows.h>

#include <memory>
#include <type_traits>

#include "tools/builder/build_error.h"
#include "tools/builder/run_program.h"

namespace kaviro::builder {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

std::wstring Widen(const std::string& text) {
    if (text.empty())
        return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// Quotes one argument the way the C runtime's argument splitter reads it back.
void AppendQuoted(std::wstring& commandLine, const std::wstring& argument) {
    if (!commandLine.empty())
        commandLine.push_back(L' ');
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        commandLine += argument;
        return;
    }
    commandLine.push_back(L'"');
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        commandLine.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        commandLine.push_back(c);
    }
    commandLine.append(backslashes * 2, L'\\');
    commandLine.push_back(L'"');
}

}  // namespace

int RunProgram(const std::vector<std::string>& commandLine) {
    std::wstring text;
    for (const auto& argument : commandLine) AppendQuoted(text, Widen(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        throw BuildError("cannot start " + commandLine[0] + " (Windows error " +
                         std::to_string(GetLastError()) + ")");
    }
    const UniqueHandle processHandle(process.hProcess);
    const UniqueHandle threadHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.hProcess, &exitCode)) {
        throw BuildError("cannot read the exit code of " + commandLine[0]);
    }
    return static_cast<int>(exitCode);
}

}  // namespace kaviro::builder
