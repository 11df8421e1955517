// "Find All Files" over a large tree natively: the listing alone, the whole
// command (worker thread, a progress report per file, the result text), and
// a plain recursive directory walk of the same tree as the reference.
//   find_files_benchmark [FILES]   (default 100000, in folders of 1000)

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "commands/file_access.h"
#include "commands/file_listing.h"
#include "commands/folder_commands.h"
#include "engine/package_format.h"
#include "script/run_context.h"

namespace {

namespace fs = std::filesystem;
using namespace kaviro;

double Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

std::string EnginePath(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    const long files = argc > 1 ? std::atol(argv[1]) : 100000;
    const long perFolder = 1000;
    const fs::path root = fs::temp_directory_path() / ("kaviro-find-bench-" + std::to_string(getpid()));
    for (long i = 0; i < files; ++i) {
        const fs::path folder = root / ("folder" + std::to_string(i / perFolder)) / "inner";
        if (i % perFolder == 0) fs::create_directories(folder);
        std::ofstream(folder / ("file" + std::to_string(i) + (i % 2 ? ".txt" : ".dat")));
    }
    const std::string pattern = EnginePath(root.string()) + "\\*.txt";
    commands::FileAccess& access = commands::PlatformFileAccess();

    std::size_t referenceCount = 0;
    const double reference = Milliseconds([&] {
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (entry.is_directory() || entry.path().extension() == ".txt") ++referenceCount;
        }
    });
    std::size_t listed = 0;
    const double listing = Milliseconds([&] { listed = commands::FindFiles(access, pattern, true, true).size(); });

    Script script;
    script.statementNames = {"Find All Files"};
    script.statementIds = {"{00000000-0000-0000-0000-000000000001}"};
    script.statementFlags = {""};
    script.parameters = {script.statementIds[0], pattern, "TRUE", "TRUE", "FOUND"};
    script.RebuildParameterIndex();
    script::TVariableManager variables;
    variables.SetSilent(true);
    variables.Set("VELK_IsCancelled", "FALSE");
    script::RunEnvironment environment;
    environment.variables = &variables;
    script::RunContext context(script, environment);
    const double command = Milliseconds([&] { commands::FindAllFilesCommand(access, context, 0); });

    std::printf("tree: %ld files (half matching) in %ld folders\n", files, 2 * ((files + perFolder - 1) / perFolder));
    std::printf("directory walk (reference):   %8.1f ms  %zu entries\n", reference, referenceCount);
    std::printf("FindFiles listing:            %8.1f ms  %zu entries  %.2fx the walk\n", listing, listed,
                listing / reference);
    std::printf("Find All Files command:       %8.1f ms  %zu bytes of result  %.2fx the walk\n", command,
                variables.Get("FOUND").size(), command / reference);
    fs::remove_all(root);
    return listed == referenceCount ? 0 : 1;
}
