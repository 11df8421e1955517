#pragma once
// Engine-side wrapper over oru.lib, the archive library that lies beside the
// engine executable. It is the only module that calls the library: it loads it
// at run time from the folder of the running executable, lists archives and
// extracts them, and turns the library's codes into error texts.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kaviro::media {

// Result of listing an archive: the entry paths in archive order, or the
// error text that belongs to the library's error code.
struct ArchiveListing {
    bool ok = false;
    std::vector<std::string> paths;
    std::string error;
};

// Lists every entry of the archive (files and folders). The password is used
// for archives with encrypted headers; pass "" for none.
[[nodiscard]] ArchiveListing ListArchive(const std::string& archivePath, const std::string& password);

// Result of an extraction; on failure the error text is a listing error text
// or "#" followed by the library's decimal error code.
struct ArchiveExtraction {
    bool ok = false;
    std::string error;
};

// Called while extracting with the current file name and the bytes done and
// total of the whole extraction; answering false cancels the extraction.
using ExtractionProgress = std::function<bool(const std::string& file, int64_t done, int64_t total)>;

// Extracts the whole archive into outputFolder. With keepPaths the entries'
// folder paths are recreated below outputFolder, else every file lands
// directly in it. The query flag is handed to the library's query callback.
// Never throws: any failure is reported in the result.
[[nodiscard]] ArchiveExtraction ExtractArchive(const std::string& archivePath, const std::string& password,
                                               const std::string& outputFolder, const ExtractionProgress& progress,
                                               bool query, bool keepPaths);

}  // namespace kaviro::media
