#include "engine/hand_over_cleanup.h"

#include "engine/package_lookup.h"
#include "engine/text_util.h"

namespace kaviro {

bool DropsCachedSources(const Script& script) {
    return script.mediaLayoutCode == kMediaInEngineCache && ExpandBuildSettings(script, "#CACHESOURCES#") == "FALSE";
}

std::vector<std::string> DownloadedMediaFolders(const std::vector<std::string>& subfolders) {
    std::vector<std::string> media;
    for (const std::string& name : subfolders) {
        if (!EqualsIgnoreCase(name, "OFFLINE")) media.push_back(name);
    }
    return media;
}

void DeleteDownloadedMedia(const std::string& engineCacheFolder) {
    if (engineCacheFolder.empty()) return;
    for (const std::string& name : DownloadedMediaFolders(SubfolderNames(engineCacheFolder))) {
        DeleteFolderTree(engineCacheFolder + name);
    }
}

void SaveRunData(const std::string& engineCacheFolder, bool compress) {
    if (engineCacheFolder.empty()) return;
    MarkCacheFolder(engineCacheFolder, compress);
}

}  // namespace kaviro
