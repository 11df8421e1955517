#include "commands/text_reader.h"

#include "engine/text_util.h"

namespace kaviro::commands {

namespace {

bool ReadLine(std::ifstream& file, std::string& line) {
    if (!std::getline(file, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

bool AtEnd(std::ifstream& file) {
    return file.peek() == std::ifstream::traits_type::eof();
}

}  // namespace

void TextReader::Close() {
    // Closing a file opened for reading cannot lose data; its errors are ignored.
    file_.close();
    file_.clear();
    path_.clear();
}

void TextReader::Forget(const std::string& path) {
    if (!path_.empty() && EqualsIgnoreCase(path_, path))
        Close();
}

TextReader::Read TextReader::ReadNext(const std::string& path, bool readAll, const std::string& lineJoin) {
    Read result;
    if (path_.empty() || !EqualsIgnoreCase(path_, path)) {
        Close();
        file_.open(path, std::ios::binary);
        if (!file_) {
            file_.clear();
            result.opened = false;
            return result;
        }
        path_ = path;
    }
    std::string line;
    if (!AtEnd(file_) && ReadLine(file_, line)) {
        std::string text = line;
        while (readAll && !AtEnd(file_) && ReadLine(file_, line)) {
            text += lineJoin;
            text += line;
        }
        result.text = std::move(text);
    }
    result.endOfFile = AtEnd(file_);
    if (result.endOfFile)
        Close();
    return result;
}

std::vector<std::string> LoadTextLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    while (file && ReadLine(file, line)) lines.push_back(line);
    return lines;
}

bool SaveTextLines(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) file << line << "\r\n";
    file.flush();
    return static_cast<bool>(file);
}

}  // namespace kaviro::commands
