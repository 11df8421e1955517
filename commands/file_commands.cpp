#include "commands/file_commands.h"

#include <memory>

#include "commands/file_access.h"
#include "commands/file_system.h"
#include "commands/folder_commands.h"
#include "commands/text_reader.h"
#include "script/command_table.h"
#include "script/run_context.h"
#include "script/variable_text.h"

namespace kaviro::commands {

namespace {

constexpr std::string_view kReadAllPrefix = "#READALL\\";

std::string Origin(script::RunContext& context, std::size_t index) {
    return context.Name(index) + " Action";
}

void ReadFromTextFile(TextReader& reader, script::RunContext& context, std::size_t index) {
    std::string path = CleanedPathParameter(context, index, 1);
    const bool readAll = path.starts_with(kReadAllPrefix);
    if (readAll)
        path.erase(0, kReadAllPrefix.size());
    const std::string resultName = context.Parameter(index, 2);
    const std::string endName = context.Parameter(index, 3);
    const std::string origin = Origin(context, index);
    const TextReader::Read read = reader.ReadNext(path, readAll, "$NEWLINE$");
    if (read.text)
        context.WriteResult(resultName, *read.text, origin);
    context.WriteResult(endName, script::BoolToText(read.endOfFile), origin);
}

void WriteToTextFile(TextReader& reader, script::RunContext& context, std::size_t index) {
    const std::string path = CleanedPathParameter(context, index, 1);
    const std::string text = context.ExpandedParameter(index, 2);
    const bool first = context.ExpandedParameter(index, 3) == script::kTrueText;
    reader.Forget(path);
    std::vector<std::string> lines = LoadTextLines(path);
    if (first) {
        lines.insert(lines.begin(), text);
    } else {
        lines.push_back(text);
    }
    ClearFileAttributes(path);
    // A failed write changes no variable: the command reports nothing.
    SaveTextLines(path, lines);
}

void DoesFileFolderExist(script::RunContext& context, std::size_t index) {
    const std::string path = CleanedPathParameter(context, index, 2);
    const bool file = context.Parameter(index, 3) == script::kTrueText;
    const bool exists = file ? FileExists(path) : FolderExists(path);
    context.WriteResult(context.Parameter(index, 1), script::BoolToText(exists), Origin(context, index));
}

void CheckDiskSpace(script::RunContext& context, std::size_t index) {
    const DiskSpace space = QueryDiskSpace(CleanedPathParameter(context, index, 2));
    const bool free = context.Parameter(index, 3) == script::kTrueText;
    context.WriteResult(context.Parameter(index, 1),
                        std::to_string(free ? space.freeBytes : space.totalBytes), Origin(context, index));
}

}  // namespace

std::string CleanedPathParameter(script::RunContext& context, std::size_t index, int k) {
    return script::NormalizeBackslashes(context.variables().Expand(context.ExpandedParameter(index, k)));
}

void RegisterFileCommands(script::CommandTable& table) {
    auto reader = std::make_shared<TextReader>();
    table.AddReleaseAction([reader] { reader->Close(); });
    table.Register("Read from Text File", [reader](script::RunContext& context, std::size_t index) {
        ReadFromTextFile(*reader, context, index);
    });
    table.Register("Write to Text File", [reader](script::RunContext& context, std::size_t index) {
        WriteToTextFile(*reader, context, index);
    });
    table.Register("Does File/Folder Exist", DoesFileFolderExist);
    table.Register("Check Disk Space", CheckDiskSpace);
    RegisterFolderCommands(table, PlatformFileAccess());
}

}  // namespace kaviro::commands
