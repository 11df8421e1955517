#pragma once
// The hand-over cleanups after the interpreter returned: the downloaded media
// kept in the engine cache when the build does not cache its sources, and the
// end-of-run save into the engine cache folder.

#include <string>
#include <vector>

#include "engine/package_format.h"

namespace kaviro {

inline constexpr int32_t kMediaInEngineCache = 2;  // media layout: blocks fetched into the engine cache

// The build setting #CACHESOURCES# is "FALSE" and the media live in the
// engine cache: downloaded media folders are deleted at the end of the run.
[[nodiscard]] bool DropsCachedSources(const Script& script);

// Of the subfolders of the engine cache, the downloaded media: every one but
// "OFFLINE" (case ignored).
[[nodiscard]] std::vector<std::string> DownloadedMediaFolders(const std::vector<std::string>& subfolders);

// Deletes the downloaded media folders below the engine cache folder;
// whatever cannot be deleted stays (the run is over, nobody waits for it).
void DeleteDownloadedMedia(const std::string& engineCacheFolder);

// The end-of-run save into the engine cache folder: the folder is hidden
// and, when asked, compressed (failures ignored, a missing folder stays
// missing). The setup data file of the run belongs here as well, written
// by the component model's writer when the saved-variable list is not empty.
void SaveRunData(const std::string& engineCacheFolder, bool compress);

// Names of the immediate subfolders of a folder (none when it is missing).
[[nodiscard]] std::vector<std::string> SubfolderNames(const std::string& folder);
// Deletes a folder with everything below it, best effort.
void DeleteFolderTree(const std::string& folder);
// Hidden attribute and compression of a folder, best effort.
void MarkCacheFolder(const std::string& folder, bool compress);

}  // namespace kaviro
