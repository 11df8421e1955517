#pragma once
// The builder's pipeline: reads a setup project and writes a runnable setup
// into the output folder:
//   base + ".exe"  engine stub + script package
//   base + ".res"  7z archive of the support files and compiled dialogs
//   base + ".msi"  the project's installer database (copied, or compiled from WiX source by wixl)
//   "oru.lib"      the archive library
// Same inputs give the same bytes. A failure raises BuildError and leaves the
// output folder as it was (apart from creating it).

#include <filesystem>
#include <string>
#include <vector>

namespace kaviro::builder {

inline constexpr const char* kSettingsFileName = "project.ini";

struct BuildOptions {
    std::filesystem::path projectFolder;
    std::filesystem::path outputFolder;
    std::filesystem::path enginePath;
    std::filesystem::path oruPath;
    std::string wixlProgram = "wixl";
};

struct BuildResult {
    std::vector<std::filesystem::path> files;
    std::vector<std::string> warnings;
    std::string revisionCode;
};

[[nodiscard]] BuildResult BuildSetup(const BuildOptions& options);

}  // namespace kaviro::builder
