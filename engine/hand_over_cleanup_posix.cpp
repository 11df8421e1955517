// The folder work of the hand-over cleanups on the native build, where
// engine cache paths are ordinary paths (used by the unit tests).

#include <filesystem>
#include <system_error>

#include "engine/hand_over_cleanup.h"

namespace kaviro {

namespace fs = std::filesystem;

std::vector<std::string> SubfolderNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->is_directory(error)) names.push_back(it->path().filename().string());
    }
    return names;
}

void DeleteFolderTree(const std::string& folder) {
    std::error_code error;
    // Best effort: what cannot be removed stays, as on Windows.
    fs::remove_all(folder, error);
}

void MarkCacheFolder(const std::string& /*folder*/, bool /*compress*/) {
    // Native file systems have neither the hidden attribute nor per-folder
    // compression; nothing to do.
}

}  // namespace kaviro
