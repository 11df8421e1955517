// The native side of the component commands: no file-system redirection,
// free bytes through the standard library, no application data folders.

#include <filesystem>
#include <system_error>

#include "installer/component_platform.h"

namespace kaviro::installer {

std::unique_ptr<FileSystemRedirection> MakeFileSystemRedirection(const std::string& /*sixtyFourBitMode*/) {
    return std::make_unique<NoFileSystemRedirection>();
}

FreeBytesProbe SystemFreeBytesProbe() {
    return [](const std::string& folder) -> int64_t {
        // The folder need not exist yet: its nearest existing ancestor lies on the same volume.
        std::filesystem::path path = std::filesystem::absolute(folder);
        std::error_code error;
        while (!std::filesystem::exists(path, error) && path.has_parent_path() && path.parent_path() != path)
            path = path.parent_path();
        const std::filesystem::space_info space = std::filesystem::space(path, error);
        return error ? 0 : static_cast<int64_t>(space.available);
    };
}


bool EnsureFolder(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

}  // namespace kaviro::installer
