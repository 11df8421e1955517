#include "tests/unit/builder/builder_test_support.h"

#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace kaviro::builder::test {

ScratchFolder::ScratchFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("kaviro-builder-test-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;  // a leftover scratch folder must not fail the test run
    std::filesystem::remove_all(path_, ignored);
}

void WriteText(const std::filesystem::path& path, std::string_view text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::string> FolderListing(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint8_t> FakeEngineStub(uint32_t stubSize) {
    std::vector<uint8_t> image(stubSize, 0);
    auto put16 = [&](std::size_t at, uint16_t v) {
        image[at] = v & 0xFF;
        image[at + 1] = v >> 8;
    };
    auto put32 = [&](std::size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) image[at + i] = (v >> (8 * i)) & 0xFF;
    };
    image[0] = 'M';
    image[1] = 'Z';
    put32(0x3C, 0x80);
    put32(0x80, 0x00004550);
    put16(0x84, 0x8664);
    put16(0x84 + 2, 1);
    put16(0x84 + 16, 240);
    const std::size_t section = 0x80 + 24 + 240;
    put32(section + 16, stubSize - 0x200);  // SizeOfRawData
    put32(section + 20, 0x200);             // PointerToRawData
    for (std::size_t i = 0x200; i < stubSize; ++i) image[i] = static_cast<uint8_t>(i * 7);
    return image;
}

CommandResult RunCommand(const std::string& commandLine) {
    CommandResult result;
    FILE* raw = popen((commandLine + " 2>&1").c_str(), "r");
    if (raw == nullptr)
        return result;
    std::array<char, 4096> buffer{};
    std::size_t got = 0;
    while ((got = fread(buffer.data(), 1, buffer.size(), raw)) > 0) result.output.append(buffer.data(), got);
    const int status = pclose(raw);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool ProgramAvailable(const std::string& name) {
    return RunCommand("command -v " + name + " >/dev/null").exitCode == 0;
}

std::string Quoted(const std::filesystem::path& path) {
    std::string out = "'";
    for (const char c : path.string()) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out.push_back(c);
        }
    }
    return out + "'";
}

}  // namespace kaviro::builder::test
