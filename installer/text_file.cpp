#include "installer/text_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "engine/engine_error.h"

namespace kaviro::installer {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

[[noreturn]] void RaiseFileError(const std::string& action, const std::string& path, int error) {
    throw EngineError(action + " \"" + path + "\" failed: " + std::strerror(error));
}

}  // namespace

bool RegularFileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFREG;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    if (!RegularFileExists(path))
        return std::nullopt;
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file)
        RaiseFileError("Opening", path, errno);
    std::string bytes;
    char buffer[16384];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, count);
    if (std::ferror(file.get()))
        RaiseFileError("Reading", path, errno);
    return bytes;
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
    FileHandle file(std::fopen(path.c_str(), "wb"));
    if (!file)
        RaiseFileError("Creating", path, errno);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        RaiseFileError("Writing", path, errno);
    }
    // Closing flushes; a failing flush is a failed write.
    if (std::fclose(file.release()) != 0)
        RaiseFileError("Writing", path, errno);
}

void DeleteFileOrThrow(const std::string& path) {
    if (std::remove(path.c_str()) != 0)
        RaiseFileError("Deleting", path, errno);
}

void RenameFileOrThrow(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        RaiseFileError("Renaming \"" + from + "\" to", to, errno);
}

}  // namespace kaviro::installer
