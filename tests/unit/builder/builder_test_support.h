#pragma once
// Fixtures shared by the builder tests: scratch folders, file helpers, a
// minimal PE image standing in for the engine stub, and running 7zz.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kaviro::builder::test {

// A fresh folder under the system temporary folder, removed with the object.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

void WriteText(const std::filesystem::path& path, std::string_view text);
[[nodiscard]] std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
// Names of the entries directly in a folder, sorted.
[[nodiscard]] std::vector<std::string> FolderListing(const std::filesystem::path& folder);

// A 64-bit PE image with one section whose raw data ends at `stubSize`.
[[nodiscard]] std::vector<uint8_t> FakeEngineStub(uint32_t stubSize = 0x400);

// Runs a shell command line; returns its exit status (as std::system gives it
// through WEXITSTATUS) and its standard output.
struct CommandResult {
    int exitCode = -1;
    std::string output;
};
[[nodiscard]] CommandResult RunCommand(const std::string& commandLine);
[[nodiscard]] bool ProgramAvailable(const std::string& name);
[[nodiscard]] std::string Quoted(const std::filesystem::path& path);

}  // namespace kaviro::builder::test
