#pragma once
// Extraction of the setup's support resource (base + ".res") into the
// support folder through the archive library: no password, no progress,
// query flag and keep-paths flag set.

#include <string>

namespace kaviro {

struct SupportArchiveResult {
    bool ok = false;
    std::string error;
};

[[nodiscard]] SupportArchiveResult ExtractSupportArchive(const std::string& archivePath,
                                                         const std::string& supportFolder);

}  // namespace kaviro
