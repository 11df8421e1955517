#pragma once
// Makes small setups for the start-up tests: the 64-bit engine with a script
// package appended, base + ".res" (a 7z archive made with 7zz), base + ".msi"
// (compiled once from a tiny WiX source with wixl) and oru.lib, each of which
// a test can leave out or damage.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kaviro::e2e {

struct SetupSpec {
    std::string baseName = "setup";
    std::vector<std::string> dialogs;  // one active "Display Dialog" per name, dialog files in the .res
    std::vector<std::string> disabledDialogs;  // "Display Dialog" statements flagged "C", with no files
    std::map<std::string, std::string> supportFiles;  // more files for the .res: name -> bytes
    std::vector<std::string> omittedSupportFiles;     // files of the dialogs left out of the .res
    std::optional<std::string> packageText;           // replaces the written package (damaged packages)
    bool appendPackage = true;
    bool resource = true;
    std::optional<std::string> resourceBytes;  // replaces the .res (damaged archives)
    enum class Database { Msi, Msp, None } database = Database::Msi;
    bool archiveLibrary = true;
    std::optional<std::string> archiveLibraryBytes;  // replaces oru.lib
    std::string languageFile;                        // appended to oru.lib when not empty
    bool splashPicture = false;                      // setup.bmp beside the setup
};

// Builds the setup into folder (Linux path, emptied first) and returns the
// executable's Linux path.
std::string MakeSetup(const std::string& folder, const SetupSpec& spec);

// The script package text MakeSetup appends for a spec.
std::string PackageText(const SetupSpec& spec);

// The compiled form of the sample welcome dialog and its rules file.
std::string WelcomeDialogBytes();
std::string WelcomeRulesText();

}  // namespace kaviro::e2e
