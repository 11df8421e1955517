// The archive library's language file and the setup's own package, both
// found past the stub of a PE image.

#include <windows.h>

#include "engine/package_reader.h"
#include "engine/startup_steps_win32.h"
#include "engine/stub_size.h"
#include "platform/file_system.h"
#include "platform/module.h"
#include "ui/language_table.h"
#include "ui/message_table.h"

namespace kaviro {
namespace {

// Deletes a temporary file when the step that made it ends, however it ends.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() { platform::DeleteFileIfPresent(path_); }
    [[nodiscard]] const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace

void LoadArchiveLibraryLanguage(const std::string& setupFolder, const std::string& temporaryFolder) {
    const std::string libraryPath = setupFolder + "oru.lib";
    uint32_t stubSize = 0;
    {
        const platform::LoadedModule library = platform::LoadedModule::Load(libraryPath);
        stubSize = PackageStubSize(platform::MappedImageHeaders(library.Get()));
    }
    if (platform::FileSize(libraryPath) <= stubSize)
        return;
    const std::vector<uint8_t> languageFile = platform::ReadFileFrom(libraryPath, stubSize);
    const TemporaryFile copy(temporaryFolder + "lang.loc");
    platform::WriteWholeFile(copy.Path(), languageFile.data(), languageFile.size());
    ui::LoadMessageTable(copy.Path(), ui::SystemLocale());
}

bool HasAppendedPackage(const std::string& executablePath) {
    const uint32_t stubSize = PackageStubSize(platform::MappedImageHeaders(GetModuleHandleW(nullptr)));
    return platform::FileSize(executablePath) != stubSize;
}

Script ExtractAndLoadPackage(const std::string& executablePath, const std::string& temporaryFolder) {
    const uint32_t stubSize = PackageStubSize(platform::MappedImageHeaders(GetModuleHandleW(nullptr)));
    const std::vector<uint8_t> package = platform::ReadFileFrom(executablePath, stubSize);
    const TemporaryFile copy(temporaryFolder + "oru.tmp");
    platform::WriteWholeFile(copy.Path(), package.data(), package.size());
    return LoadPackage(copy.Path());
}

}  // namespace kaviro
