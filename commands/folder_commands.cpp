#include "commands/folder_commands.h"

#include <atomic>
#include <memory>
#include <mutex>

#include "commands/file_commands.h"
#include "commands/file_listing.h"
#include "commands/path_conversion.h"
#include "script/command_table.h"
#include "script/header_commands.h"
#include "script/run_context.h"
#include "script/variable_text.h"
#include "script/worker_thread.h"
#include "script/worker_wait.h"
#include "script/worker_wake.h"

namespace kaviro::commands {

namespace {

std::string Origin(script::RunContext& context, std::size_t index) { return context.Name(index) + " Action"; }

// The folder counter of the file search's progress: it runs on from one
// search to the next, as the bar only shows that the search moves.
std::atomic<int> folderProgressCounter{0};

// The exchange area of a file search: written by the worker, read by the
// command. An abandoned worker may still be adding entries while the command
// reads them, so both sides hold the lock.
class FoundEntries {
  public:
    void Add(const std::string& path) {
        std::lock_guard guard(mutex_);
        entries_.push_back(path);
    }
    PathList Snapshot() const {
        std::lock_guard guard(mutex_);
        return entries_;
    }

  private:
    mutable std::mutex mutex_;
    PathList entries_;
};

// Passes the listing's progress to the worker channel and the entries to the exchange area.
class SearchObserver final : public ListingObserver {
  public:
    SearchObserver(script::WorkerChannel& channel, FoundEntries& found) : channel_(channel), found_(found) {}
    void FolderEntered() override {
        int current = folderProgressCounter.load();
        while (!folderProgressCounter.compare_exchange_weak(current, (current + 1) % 101)) {
        }
        channel_.ReportProgress("$IGNORE$", 0, 100, (current + 1) % 101);
    }
    void EntryAdded(const std::string& path, EntryKind kind) override {
        found_.Add(path);
        if (kind == EntryKind::Files) channel_.ReportProgress(path, 0, 100, -1);
    }
    bool StopRequested() const override { return channel_.StopRequested(); }

  private:
    script::WorkerChannel& channel_;
    FoundEntries& found_;
};

bool FlagParameter(script::RunContext& context, std::size_t index, int k) {
    return script::TextToBool(context.ExpandedParameter(index, k));
}

}  // namespace

void CreateFolderCommand(script::RunContext& context, std::size_t index) {
    const std::string header = script::BeginHeaderCommand(context, index);
    script::HandOverProperty(context, "P" + header + "_1", CleanedPathParameter(context, index, 1));
}

void CopyMoveLocalFilesCommand(script::RunContext& context, std::size_t index) {
    const std::string header = script::BeginHeaderCommand(context, index);
    script::HandOverProperty(context, "P" + header + "_1", CleanedPathParameter(context, index, 1));
    script::HandOverProperty(context, "P" + header + "_2", CleanedPathParameter(context, index, 3));
}

void DeleteFilesCommand(script::RunContext& context, std::size_t index) {
    const std::string header = script::BeginHeaderCommand(context, index);
    script::HandOverProperty(context, "P" + header + "_1", CleanedPathParameter(context, index, 1));
}

void DeleteFilesRecursiveCommand(FileAccess& files, script::RunContext& context, std::size_t index) {
    DeleteRecursive(files, CleanedPathParameter(context, index, 1));
}

void FindAllFilesCommand(FileAccess& files, script::RunContext& context, std::size_t index) {
    const std::string pattern = CleanedPathParameter(context, index, 1);
    const bool recurse = FlagParameter(context, index, 2);
    const bool includeFolders = FlagParameter(context, index, 3);
    const std::string resultName = context.Parameter(index, 4);
    auto found = std::make_shared<FoundEntries>();
    script::WorkerThread worker(
        context.variables(),
        [&files, found, pattern, recurse, includeFolders](script::WorkerChannel& channel) {
            SearchObserver observer(channel, *found);
            FindFiles(files, pattern, recurse, includeFolders, &observer);
            return true;
        },
        script::MainThreadWaker());
    if (script::AwaitWorker(context, worker, kFindFilesCancelOrigin) == script::WorkerEnd::RunEnded) return;
    context.WriteResult(resultName, BarSeparatedText(found->Snapshot()), Origin(context, index));
}

void ConvertPathCommand(FileAccess& files, script::RunContext& context, std::size_t index) {
    script::TVariableManager& variables = context.variables();
    const std::string name = script::NameFromReference(context.Parameter(index, 1));
    const std::string value = script::NormalizeBackslashes(variables.Expand(variables.Get(name)));
    const bool shortForm = FlagParameter(context, index, 2);
    variables.AssignVariable(name, shortForm ? ShortPathForm(files, value) : LongPathForm(files, value),
                             Origin(context, index));
}

void GetTemporaryFileCommand(FileAccess& files, script::RunContext& context, std::size_t index) {
    const std::string folder = context.variables().Get("TEMPDIR");
    // A folder where no file can be made gives an empty path.
    const std::string path = files.CreateTemporaryFile(folder, "oru").value_or(std::string());
    context.WriteResult(context.Parameter(index, 1), path, Origin(context, index));
}

void RegisterFolderCommands(script::CommandTable& table, FileAccess& files) {
    table.Register("Create Folder", CreateFolderCommand);
    table.Register("Copy/Move Local Files", CopyMoveLocalFilesCommand);
    table.Register("Delete Files", DeleteFilesCommand);
    table.Register("Delete Files Recursive", [&files](script::RunContext& context, std::size_t index) {
        DeleteFilesRecursiveCommand(files, context, index);
    });
    table.Register("Find All Files", [&files](script::RunContext& context, std::size_t index) {
        FindAllFilesCommand(files, context, index);
    });
    table.Register("Convert Path", [&files](script::RunContext& context, std::size_t index) {
        ConvertPathCommand(files, context, index);
    });
    table.Register("Get Temporary File", [&files](script::RunContext& context, std::size_t index) {
        GetTemporaryFileCommand(files, context, index);
    });
}

}  // namespace kaviro::commands
