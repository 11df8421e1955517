#pragma once
// The contents of the support resource (base + ".res"): the project's
// support files, and its dialogs as the engine expects them in the support
// folder (NAME.dfm with its rules file NAME.dfm.oruf beside it).

#include <filesystem>
#include <vector>

#include "tools/builder/seven_zip_writer.h"

namespace kaviro::builder {

// Every file and folder below supportFolder, names relative to it. An empty
// path gives no entries.
[[nodiscard]] std::vector<ArchiveEntry> CollectSupportFiles(const std::filesystem::path& supportFolder);

// The dialogs of a dialogs folder (not recursive):
//   NAME.dfm             a compiled dialog, carried as it is
//   NAME.txt             a text dialog (also NAME.dfm.txt), compiled to NAME.dfm
//   NAME.oruf            its rules file (also NAME.dfm.oruf), carried as NAME.dfm.oruf;
//                        an empty one is written when the dialog has none
// Anything else, a dialog given twice, or rules without a dialog is an error.
[[nodiscard]] std::vector<ArchiveEntry> CollectDialogs(const std::filesystem::path& dialogsFolder);

}  // namespace kaviro::builder
