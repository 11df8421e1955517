// Extraction of the support resource through the archive library wrapper.

#include "engine/support_archive.h"

namespace kaviro {

SupportArchiveResult ExtractSupportArchive(const std::string& archivePath, const std::string& supportFolder) {
    (void)supportFolder;
    return {false, "The archive library wrapper is not part of this build: " + archivePath};
}

}  // namespace kaviro
