#include "tests/e2e/support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "tests/e2e/support/wine_run.h"

namespace kaviro::e2e {

Scratch::Scratch() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "no-test";
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    path_ = E2eDir() + "/work/" + name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(Temp());
}

void Scratch::UseAsTemp(std::map<std::string, std::string>& environment) const {
    environment["TEMP"] = ToWindowsPath(Temp());
    environment["TMP"] = ToWindowsPath(Temp());
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> SplitTextLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> ReadTextLines(const std::string& path) {
    if (!FileExists(path)) return {};
    return SplitTextLines(ReadFileBytes(path));
}

std::vector<std::string> ReadUtf16Lines(const std::string& path) {
    const std::string bytes = ReadFileBytes(path);
    std::string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        uint32_t unit = static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const uint32_t low = static_cast<uint8_t>(bytes[i + 2]) | static_cast<uint8_t>(bytes[i + 3]) << 8;
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        if (unit < 0x80) {
            text += static_cast<char>(unit);
        } else if (unit < 0x800) {
            text += static_cast<char>(0xC0 | unit >> 6);
            text += static_cast<char>(0x80 | (unit & 0x3F));
        } else if (unit < 0x10000) {
            text += static_cast<char>(0xE0 | unit >> 12);
            text += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | unit >> 18);
            text += static_cast<char>(0x80 | ((unit >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace kaviro::e2e
