// kaviro-build: turns a setup project into a runnable setup.
//
//   kaviro-build PROJECT --out DIR [--engine PATH] [--oru PATH] [--wixl PROGRAM]
//
// PROJECT is the folder holding project.ini. Without --engine and --oru the
// builder takes engine.exe and oru.lib from its own folder, or else from
// ../x64/ beside it (dist/host/kaviro-build uses dist/x64/). Exit code 0 on
// success, 1 when the build fails (the reason goes to stderr), 2 for a wrong
// command line.

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "tools/builder/build_error.h"
#include "tools/builder/file_io.h"
#include "tools/builder/setup_builder.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: kaviro-build PROJECT --out DIR [--engine PATH] [--oru PATH] [--wixl PROGRAM]\n";

// The folder of the running builder: /proc/self/exe where there is one, else argv[0].
fs::path BuilderFolder(const char* argv0) {
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error)
        self = fs::absolute(argv0, error);
    return self.parent_path();
}

// A file beside the builder, else in ../x64/.
fs::path DefaultArtifact(const fs::path& builderFolder, const char* name) {
    std::error_code error;
    const fs::path beside = builderFolder / name;
    if (fs::is_regular_file(beside, error))
        return beside;
    return (builderFolder / ".." / "x64" / name).lexically_normal();
}

}  // namespace

int main(int argc, char** argv) {
    kaviro::builder::BuildOptions options;
    bool haveProject = false;
    bool haveOutput = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << "kaviro-build: " << argument << " needs a value\n" << kUsage;
                std::exit(2);
            }
            return argv[++i];
        };
        if (argument == "--out") {
            options.outputFolder = value();
            haveOutput = true;
        } else if (argument == "--engine") {
            options.enginePath = value();
        } else if (argument == "--oru") {
            options.oruPath = value();
        } else if (argument == "--wixl") {
            options.wixlProgram = value();
        } else if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (!argument.starts_with("--") && !haveProject) {
            options.projectFolder = argument;
            haveProject = true;
        } else {
            std::cerr << "kaviro-build: unexpected argument " << argument << "\n" << kUsage;
            return 2;
        }
    }
    if (!haveProject || !haveOutput) {
        std::cerr << kUsage;
        return 2;
    }
    const fs::path builderFolder = BuilderFolder(argv[0]);
    if (options.enginePath.empty())
        options.enginePath = DefaultArtifact(builderFolder, "engine.exe");
    if (options.oruPath.empty())
        options.oruPath = DefaultArtifact(builderFolder, "oru.lib");

    try {
        const kaviro::builder::BuildResult result = kaviro::builder::BuildSetup(options);
        for (const auto& warning : result.warnings) std::cerr << "kaviro-build: warning: " << warning << "\n";
        for (const auto& file : result.files) std::cout << kaviro::builder::PathText(file) << "\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "kaviro-build: " << error.what() << "\n";
        return 1;
    }
}
