#pragma once
// Extraction into a folder of the Windows file system. Files are written
// under a temporary name and renamed over the final name only once complete
// and verified, so a failed or cancelled extraction never leaves a file that
// looks finished.

#include <cstdint>
#include <functional>
#include <string>

#include "oru/extraction_target.h"

namespace kaviro::oru {

enum class ExistingFileDecision { Overwrite, Skip };

class Win32ExtractionTarget : public ExtractionTarget {
public:
    // Asked when a file to extract already exists (path is the full wide path).
    using ExistingFileQuery = std::function<ExistingFileDecision(const std::wstring& path)>;

    // outputFolder may be relative and may use either slash; it is created.
    Win32ExtractionTarget(const std::wstring& outputFolder, ExistingFileQuery query);

    void CreateFolder(const std::u16string& path, const Entry& entry) override;
    std::unique_ptr<OutputFile> CreateOutputFile(const std::u16string& path, const Entry& entry) override;
    void FinishFolder(const std::u16string& path, const Entry& entry) override;

private:
    std::wstring FullPath(const std::u16string& path) const;

    std::wstring outputFolder_;
    ExistingFileQuery query_;
    uint64_t partialSequence_ = 0;  // numbers the names files are written under
};

// Creates a folder and its missing parents (any path form, extended-length
// included); throws ArchiveError(WriteFailed).
void CreateFolders(const std::wstring& path);

}  // namespace kaviro::oru
