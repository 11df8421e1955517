// Runs one file utility of the engine and prints its result, one line per
// entry, for the end-to-end tests under Wine:
//   file_probe list PATTERN         ListFiles with recursion; each entry, "|", whether
//                                    the narrow functions reach it ("reachable"/"lost")
//   file_probe list-wide PATTERN    ListFilesWide with recursion
//   file_probe folders FOLDER       ListFolders with recursion
//   file_probe reboot-delete FILE   DeleteOnReboot; "recorded" or "failed"
//   file_probe sizes FILE           FileSize and WideFileExists of the file
//   file_probe module               ModulePath of the probe itself
//   file_probe clear FOLDER         DeleteFolderContents with recursion, three times
// Exit code 0, or 2 for a bad command line.

#include <windows.h>

#include <cstdio>
#include <string>

#include "commands/file_access.h"
#include "commands/file_listing.h"
#include "commands/file_paths_win32.h"
#include "platform/wide_text.h"

namespace {

using namespace kaviro::commands;

void PrintLines(const PathList& lines) {
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
}

int Run(const std::string& command, const std::string& argument) {
    FileAccess& files = PlatformFileAccess();
    if (command == "list") {
        for (const std::string& entry : ListFiles(files, argument, true)) {
            const bool reachable = GetFileAttributesA(entry.c_str()) != INVALID_FILE_ATTRIBUTES;
            std::printf("%s|%s\n", entry.c_str(), reachable ? "reachable" : "lost");
        }
        return 0;
    }
    if (command == "list-wide") {
        PrintLines(ListFilesWide(files, argument, true));
        return 0;
    }
    if (command == "folders") {
        PrintLines(ListFolders(files, argument, true));
        return 0;
    }
    if (command == "reboot-delete") {
        std::printf("%s\n", DeleteOnReboot(argument) ? "recorded" : "failed");
        return 0;
    }
    if (command == "sizes") {
        std::printf("%llu|%s\n", static_cast<unsigned long long>(FileSize(argument)),
                    WideFileExists(kaviro::platform::Widen(argument)) ? "TRUE" : "FALSE");
        return 0;
    }
    if (command == "module") {
        std::printf("%s\n", ModulePath(nullptr).c_str());
        return 0;
    }
    if (command == "clear") {
        for (int pass = 0; pass < 3; ++pass) DeleteFolderContents(files, argument, true);
        return 0;
    }
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    try {
        return Run(argv[1], argc > 2 ? argv[2] : "");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "file_probe: %s\n", error.what());
        return 1;
    }
}
