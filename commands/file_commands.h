#pragma once
// The script's file and folder commands that act at once: the text file
// reader and writer, the existence test and the disk space query.

#include <cstddef>
#include <string>

namespace kaviro::script {
class CommandTable;
class RunContext;
}  // namespace kaviro::script

namespace kaviro::commands {

// A path parameter cleaned: expanded, expanded once more, every doubled
// backslash reduced to one (a leading "\\" of a network path kept).
std::string CleanedPathParameter(script::RunContext& context, std::size_t index, int k);

// Registers the file and folder commands (with the platform's file system)
// and the path commands that ask the file system. The text file handlers
// share one text reader, which lives as long as the table: give every run
// its own table.
void RegisterFileCommands(script::CommandTable& table);

}  // namespace kaviro::commands
