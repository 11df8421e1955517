#include "tools/builder/support_resource.h"

#include <algorithm>
#include <map>

#include "engine/text_util.h"
#include "tools/builder/build_error.h"
#include "tools/builder/file_io.h"
#include "tools/builder/text_dialog_compiler.h"

namespace kaviro::builder {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> SortedChildren(const fs::path& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error))
        throw BuildError(PathText(folder) + ": folder not found");
    std::vector<fs::path> children;
    for (const auto& child : fs::directory_iterator(folder)) children.push_back(child.path());
    std::sort(children.begin(), children.end());
    return children;
}

void CollectBelow(const fs::path& folder, const std::string& prefix, std::vector<ArchiveEntry>& entries) {
    for (const fs::path& child : SortedChildren(folder)) {
        const std::string name = prefix + PathText(child.filename());
        std::error_code error;
        if (fs::is_symlink(child, error) && fs::is_directory(child, error)) {
            // Following links to folders could loop forever and would carry files from outside the project.
            throw BuildError(PathText(child) +
                             ": links to folders are not followed; copy the folder instead");
        }
        if (fs::is_directory(child, error)) {
            entries.push_back({name, true, {}});
            CollectBelow(child, name + "/", entries);
        } else if (fs::is_regular_file(child, error)) {
            entries.push_back({name, false, ReadFileBytes(child)});
        } else {
            throw BuildError(PathText(child) + ": neither a file nor a folder");
        }
    }
}

struct DialogFiles {
    std::string name;  // as spelled by the first file that named it
    fs::path compiled;
    fs::path text;
    fs::path rules;
};

// Removes a suffix (case ignored) and reports whether it was there.
bool StripSuffix(std::string& name, std::string_view suffix) {
    if (name.size() <= suffix.size() || !EndsWithIgnoreCase(name, suffix))
        return false;
    name.resize(name.size() - suffix.size());
    return true;
}

void SetOnce(fs::path& slot, const fs::path& file, const char* what) {
    if (!slot.empty()) {
        throw BuildError(PathText(file) + ": the dialog already has a " + what + " (" + PathText(slot) + ")");
    }
    slot = file;
}

}  // namespace

std::vector<ArchiveEntry> CollectSupportFiles(const fs::path& supportFolder) {
    std::vector<ArchiveEntry> entries;
    if (!supportFolder.empty())
        CollectBelow(supportFolder, "", entries);
    return entries;
}

std::vector<ArchiveEntry> CollectDialogs(const fs::path& dialogsFolder) {
    std::vector<ArchiveEntry> entries;
    if (dialogsFolder.empty())
        return entries;
    std::map<std::string, DialogFiles> dialogs;  // keyed by the lower-cased name
    for (const fs::path& child : SortedChildren(dialogsFolder)) {
        std::error_code error;
        if (!fs::is_regular_file(child, error)) {
            throw BuildError(PathText(child) + ": the dialogs folder holds only dialog and rules files");
        }
        std::string name = PathText(child.filename());
        fs::path DialogFiles::*slot = nullptr;
        const char* what = "";
        if (StripSuffix(name, ".dfm.oruf") || StripSuffix(name, ".oruf")) {
            slot = &DialogFiles::rules;
            what = "rules file";
        } else if (StripSuffix(name, ".dfm.txt") || StripSuffix(name, ".txt")) {
            slot = &DialogFiles::text;
            what = "text form";
        } else if (StripSuffix(name, ".dfm")) {
            slot = &DialogFiles::compiled;
            what = "compiled form";
        } else {
            throw BuildError(PathText(child) +
                             ": not a dialog file (NAME.dfm, NAME.txt) nor a rules file (NAME.oruf)");
        }
        DialogFiles& dialog = dialogs[LowerCase(name)];
        if (dialog.name.empty())
            dialog.name = name;
        SetOnce(dialog.*slot, child, what);
    }
    for (const auto& [key, dialog] : dialogs) {
        if (dialog.compiled.empty() && dialog.text.empty()) {
            throw BuildError(PathText(dialog.rules) + ": rules file without a dialog named " + dialog.name);
        }
        if (!dialog.compiled.empty() && !dialog.text.empty()) {
            throw BuildError(PathText(dialog.text) + ": dialog " + dialog.name +
                             " is given both as text and as " + PathText(dialog.compiled.filename()));
        }
        std::vector<uint8_t> form = dialog.compiled.empty()
                                        ? CompileTextDialog(ReadFileText(dialog.text), PathText(dialog.text))
                                        : ReadFileBytes(dialog.compiled);
        entries.push_back({dialog.name + ".dfm", false, std::move(form)});
        entries.push_back({dialog.name + ".dfm.oruf", false,
                           dialog.rules.empty() ? std::vector<uint8_t>{} : ReadFileBytes(dialog.rules)});
    }
    return entries;
}

}  // namespace kaviro::builder
