// The native build's file system: the engine's backslashes are read as
// slashes, masks are matched as the Windows build matches them (case ignored).

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "commands/file_access.h"
#include "commands/file_listing.h"

namespace kaviro::commands {

namespace {

std::string NativePath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// The entry's type from the directory itself where the file system gives it;
// one status query otherwise (and for links, which count as what they name).
bool IsFolder(const dirent& entry, const std::string& folder) {
#ifdef _DIRENT_HAVE_D_TYPE
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type == DT_REG) return false;
#endif
    struct stat status {};
    return stat((folder + "/" + entry.d_name).c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};

class PosixFileAccess final : public FileAccess {
  public:
    void Enumerate(const std::string& folder, const std::string& mask, EntryKind kind,
                   const EntryVisitor& visit) override {
        const std::string native = NativePath(folder.empty() ? std::string(".") : folder);
        const std::unique_ptr<DIR, DirectoryCloser> directory(opendir(native.c_str()));
        if (!directory) return;
        while (const dirent* entry = readdir(directory.get())) {
            const std::string name = entry->d_name;
            if (name == "." || name == ".." || !MaskMatches(name, mask)) continue;
            if (IsFolder(*entry, native) != (kind == EntryKind::Folders)) continue;
            if (!visit(name)) return;
        }
    }

    bool DeleteFile(const std::string& path) override {
        const std::string native = NativePath(path);
        struct stat status {};
        if (lstat(native.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) return false;
        return unlink(native.c_str()) == 0;
    }

    bool RemoveFolder(const std::string& path) override { return rmdir(NativePath(path).c_str()) == 0; }

    bool Exists(const std::string& path) override {
        struct stat status {};
        return stat(NativePath(path).c_str(), &status) == 0;
    }

    std::optional<std::string> ReportedName(const std::string& path) override {
        if (!Exists(path)) return std::nullopt;
        const std::size_t delimiter = path.find_last_of("\\/");
        return delimiter == std::string::npos ? path : path.substr(delimiter + 1);
    }

    // The native file system has no short names.
    std::optional<std::string> ShortPath(const std::string& path) override {
        if (!Exists(path)) return std::nullopt;
        return path;
    }

    std::optional<std::string> CreateTemporaryFile(const std::string& folder, const std::string& prefix) override {
        std::string folderText = folder;
        if (!folderText.empty() && folderText.back() != '\\' && folderText.back() != '/') folderText += '\\';
        std::string name = NativePath(folderText + prefix + "XXXXXX");
        std::vector<char> buffer(name.begin(), name.end());
        buffer.push_back('\0');
        const int descriptor = mkstemp(buffer.data());
        if (descriptor < 0) return std::nullopt;
        close(descriptor);
        const std::string created(buffer.data());
        return folderText + created.substr(created.size() - prefix.size() - 6);
    }
};

}  // namespace

FileAccess& PlatformFileAccess() {
    static PosixFileAccess files;
    return files;
}

}  // namespace kaviro::commands
