// The support folder: a fresh folder in TEMP for the setup's support files.

#include "engine/engine_error.h"
#include "engine/startup_steps_win32.h"
#include "platform/file_system.h"

namespace kaviro {
namespace {

// Far more than any machine keeps; stops the search on a folder that refuses
// every new name instead of looping for ever.
constexpr int kMaxSupportFolderNumber = 100000;

}  // namespace

std::string CreateSupportFolder(const std::string& temporaryFolder) {
    for (int n = 1; n <= kMaxSupportFolderNumber; ++n) {
        const std::string folder = temporaryFolder + "oru" + std::to_string(n);
        if (platform::FolderExists(folder) || platform::FileExists(folder))
            continue;
        // Another setup may take the same number between the test and the
        // creation; then the next number is tried.
        if (platform::CreateFolder(folder))
            return folder + "\\";
    }
    throw EngineError("Cannot create a support folder in " + temporaryFolder);
}

void RemoveSupportFolder(const std::string& supportFolder) {
    for (int pass = 0; pass < 3; ++pass) platform::DeleteFolderContents(supportFolder);
    platform::RemoveFolder(supportFolder);
}

void CopySetupDatabases(const std::string& setupFolder, const std::string& baseName,
                        const std::string& supportFolder) {
    for (const char* extension : {".msi", ".msp"}) {
        const std::string source = setupFolder + baseName + extension;
        if (!platform::FileExists(source))
            continue;
        const std::string target = supportFolder + baseName + extension;
        platform::CopyFileOverwriting(source, target);
        platform::SetNormalAttributes(target);
    }
}

}  // namespace kaviro
