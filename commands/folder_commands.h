#pragma once
// The file and folder commands beyond the text files: the header commands
// that hand their paths to the installer, the recursive delete, the file
// search in a worker thread, and the path conversions that ask the file
// system ("Convert Path", "Get Temporary File").

#include <cstddef>

#include "commands/file_access.h"

namespace kaviro::script {
class CommandTable;
class RunContext;
}  // namespace kaviro::script

namespace kaviro::commands {

inline constexpr const char* kFindFilesCancelOrigin = "Cancel at Find-Files Time";

void CreateFolderCommand(script::RunContext& context, std::size_t index);
void CopyMoveLocalFilesCommand(script::RunContext& context, std::size_t index);
void DeleteFilesCommand(script::RunContext& context, std::size_t index);
void DeleteFilesRecursiveCommand(FileAccess& files, script::RunContext& context, std::size_t index);
void FindAllFilesCommand(FileAccess& files, script::RunContext& context, std::size_t index);
void ConvertPathCommand(FileAccess& files, script::RunContext& context, std::size_t index);
void GetTemporaryFileCommand(FileAccess& files, script::RunContext& context, std::size_t index);

// Registers the commands above with the given file system.
void RegisterFolderCommands(script::CommandTable& table, FileAccess& files);

}  // namespace kaviro::commands
