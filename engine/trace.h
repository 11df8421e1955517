#pragma once
// The trace file: stage markers written while the trace path is set (/l= on
// the command line, later the LOGGED variable). Each call writes one line and
// CRLF as UTF-16LE code units without a byte-order mark; the file is opened,
// appended to and closed for every line, and the first write of the process
// empties it.

#include <string>
#include <string_view>

namespace kaviro {

// Appends one marker line; does nothing while the trace path is empty.
// Failures to write are ignored: the trace must never change a run.
void WriteTrace(std::string_view line);

void SetTracePath(std::string path);
[[nodiscard]] const std::string& TracePath();

// Writes one line to the file, emptying it first when truncate is set.
// Returns false when the file could not be written. The platform provides it.
bool AppendTraceLine(const std::string& path, std::string_view line, bool truncate);

}  // namespace kaviro
