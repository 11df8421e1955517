#pragma once
// Whole-file reads and writes for the builder; failures raise BuildError
// naming the file.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace kaviro::builder {

[[nodiscard]] std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);
[[nodiscard]] std::string ReadFileText(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes);

// The path as text for messages and the source map (UTF-8 on Linux).
[[nodiscard]] std::string PathText(const std::filesystem::path& path);

}  // namespace kaviro::builder
