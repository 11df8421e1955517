#pragma once
// Preloading of the wizard dialogs at start-up, as far as it needs no window:
// each active "Display Dialog" statement's dialog file and rules file are read
// once and kept under the statement's key until the end of the run.
//
// Start-up calls InitDialogHost once, then PreloadDialog for every active
// "Display Dialog" statement in script order (key = statement index in
// decimal, path = DialogFilePath(support folder, dialog name)). A file that
// cannot be read or is malformed, and a missing rules file, raise
// DialogPreloadError; start-up ends the process with exit code 11 for it.

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ui/component_tree.h"

namespace kaviro::ui {

// A dialog or rules file that could not be read or is malformed. what() names
// the file and the reason.
class DialogPreloadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One preloaded dialog, kept under its key from the preload to the end of the run.
struct PreloadedDialog {
    std::string key;       // upper-cased statement index
    std::string filePath;  // the dialog file as given to PreloadDialog
    std::string identity;  // the file name without folder ("welcome.dfm"): the host window's Hint
    DialogFile dialog;     // the component tree read from the file
    std::string rules;     // the rules file's lines as one comma-separated text
};

// support folder + name + ".dfm"; a "\" is put between when the folder lacks
// a trailing separator.
[[nodiscard]] std::string DialogFilePath(std::string_view supportFolder, std::string_view dialogName);

// The rules file beside a dialog file: its full name with ".oruf" appended.
[[nodiscard]] std::string RulesFilePath(std::string_view dialogFilePath);

// Sets "VELK_IsCancelled" to "FALSE" (protected assignment, context
// "ShowDesign"). The variable store provides it; this layer owns no variables.
using CancelFlagReset = std::function<void()>;

// Stores the support folder, empties the dialog table and calls
// resetCancelFlag when one is given. The hidden main window is the Win32
// host's part and is not created here.
void InitDialogHost(std::string_view supportFolder, const CancelFlagReset& resetCancelFlag = {});

// The support folder given to InitDialogHost.
[[nodiscard]] const std::string& DialogSupportFolder();

// Reads the dialog file at dialogFilePath and its rules file and keeps both
// under the upper-cased key; an existing entry of that key is replaced.
// Throws DialogPreloadError naming the file on any failure; the table is then
// unchanged.
void PreloadDialog(std::string_view key, std::string_view dialogFilePath);

// The dialog kept under the upper-cased key, or nullptr.
[[nodiscard]] const PreloadedDialog* FindDialog(std::string_view key);

// Number of dialogs in the table.
[[nodiscard]] std::size_t PreloadedDialogCount();

// Empties the dialog table and forgets the support folder (end of run, tests).
void ResetDialogTable();

}  // namespace kaviro::ui
