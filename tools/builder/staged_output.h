#pragma once
// Writes a setup's files under temporary names in the output folder and
// renames them to their real names only when every file is written, so a
// failed build leaves no half-written setup: whatever was staged and not
// committed is removed when the object goes.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace kaviro::builder {

class StagedOutput {
  public:
    explicit StagedOutput(std::filesystem::path folder);
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    // A temporary path in the output folder for a file that becomes finalName.
    [[nodiscard]] std::filesystem::path Reserve(const std::string& finalName);
    // Writes the bytes under a temporary name.
    void Write(const std::string& finalName, std::span<const uint8_t> bytes);
    // Renames every written file to its final name; returns the final paths.
    std::vector<std::filesystem::path> Commit();

    // The temporary name used for finalName (".~NAME.building").
    [[nodiscard]] static std::string TemporaryName(const std::string& finalName);

  private:
    struct Item {
        std::filesystem::path temporary;
        std::filesystem::path final;
        bool written = false;
    };
    std::filesystem::path folder_;
    std::vector<Item> items_;
};

}  // namespace kaviro::builder
