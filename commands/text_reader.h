#pragma once
// The text reader of a run: the file that "Read from Text File" has open,
// so that successive statements read successive lines.

#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace kaviro::commands {

class TextReader {
  public:
    struct Read {
        bool opened = true;
        std::optional<std::string> text;  // nothing when no line was read
        bool endOfFile = true;
    };

    // Reads the next line (or, with readAll, every remaining line joined by
    // lineJoin) of the file, opening it when it is not the open one. At the
    // file's end the file is closed, so the next read starts again.
    Read ReadNext(const std::string& path, bool readAll, const std::string& lineJoin);

    // Closes the open file when it is this path (case ignored).
    void Forget(const std::string& path);

    // Closes the open file, if any (the release at the end of a run).
    void Close();

  private:

    std::string path_;
    std::ifstream file_;
};

// The lines of a text file without their line ends; a missing file has none.
std::vector<std::string> LoadTextLines(const std::string& path);

// Writes each line followed by CR LF; false when the file could not be written.
bool SaveTextLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace kaviro::commands
