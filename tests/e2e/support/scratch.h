#pragma once
// Files and folders of end-to-end tests.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kaviro::e2e {

// A fresh, empty folder for the current test: build/host/e2e/work/<Suite>.<Test>.
// It also holds "temp/", the Windows TEMP of the test's runs.
class Scratch {
public:
    Scratch();
    const std::string& Path() const { return path_; }
    std::string Temp() const { return path_ + "/temp"; }
    // TEMP and TMP for RunRequest::environment.
    void UseAsTemp(std::map<std::string, std::string>& environment) const;

private:
    std::string path_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// Lines of a text with CRLF or LF line ends (a last line without an end counts).
std::vector<std::string> SplitTextLines(const std::string& text);
// Lines of a text file such as those "Write to Text File" writes; none when it is missing.
std::vector<std::string> ReadTextLines(const std::string& path);

// Lines of a trace file: UTF-16LE without byte-order mark, CRLF line ends.
// Characters outside ASCII come back as UTF-8.
std::vector<std::string> ReadUtf16Lines(const std::string& path);

}  // namespace kaviro::e2e
