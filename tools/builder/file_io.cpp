#include "tools/builder/file_io.h"

#include <fstream>
#include <iterator>

#include "tools/builder/build_error.h"

namespace kaviro::builder {

std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw BuildError(PathText(path) + ": file not found");
    }
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw BuildError(PathText(path) + ": cannot open the file");
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        throw BuildError(PathText(path) + ": cannot read the file");
    return bytes;
}

std::string ReadFileText(const std::filesystem::path& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        throw BuildError(PathText(path) + ": cannot create the file");
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        throw BuildError(PathText(path) + ": cannot write the file");
}

}  // namespace kaviro::builder
