// Trace file writing on the build host (unit tests): the engine's ANSI text
// is taken as Latin-1 and widened to UTF-16LE code units.

#include <fstream>

#include "engine/trace.h"

namespace kaviro {

bool AppendTraceLine(const std::string& path, std::string_view line, bool truncate) {
    std::ofstream file(path, std::ios::binary | (truncate ? std::ios::trunc : std::ios::app));
    if (!file)
        return false;
    std::string bytes;
    for (const char c : std::string(line) + "\r\n") {
        bytes += c;
        bytes += '\0';
    }
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace kaviro
