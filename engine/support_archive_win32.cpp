// Extraction of the support resource through the archive library wrapper.

#include "engine/support_archive.h"
#include "media/seven_zip_wrap.h"

namespace kaviro {

SupportArchiveResult ExtractSupportArchive(const std::string& archivePath, const std::string& supportFolder) {
    const media::ArchiveExtraction result =
        media::ExtractArchive(archivePath, "", supportFolder, {}, /*query=*/true, /*keepPaths=*/true);
    return {result.ok, result.error};
}

}  // namespace kaviro
