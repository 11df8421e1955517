#pragma once
// The setup data file: the component model and a set of chosen variables,
// written at the end of a run (or by the script) and read back by a later
// run, so that maintenance starts from the selection that was installed.
//
// Layout, CRLF lines:
//   component list, "$"; state list, "$"; deleted set, "$"; hidden set, "$";
//   locked set, "$"; size table, "$";
//   TARGETDIR value; ALLUSERS value; STARTMENU value;
//   the short form of the data folder path (empty when the script wrote the file);
//   name and value lines for each saved variable (line breaks as "$NEWLINE$");
//   "VELK64WOW" and the 64-bit mode text; "OVERRIDECACHE" and its value.

#include <string>

#include "installer/component_model.h"
#include "installer/setup_data_variables.h"

namespace kaviro::installer {

inline constexpr std::string_view kSixtyFourBitMarker = "VELK64WOW";
inline constexpr std::string_view kOverrideCacheVariable = "OVERRIDECACHE";
inline constexpr std::string_view kLoadOrigin = "LoadComponents";

// What the file reads and writes besides the model.
struct SetupDataContext {
    ComponentModel& model;
    SetupDataVariables& variables;
    // "Win32", "x64" or "ia64"; loading a file replaces it.
    std::string& sixtyFourBitMode;
    // Written as the tenth line by an end-of-run write.
    std::string dataFolderShortPath;
};

// Full write: the file is created or overwritten. Update (fullWrite false):
// only when the file exists; the component sections and the four lines after
// them are kept, the variables are written fresh.
void SaveSetupData(const SetupDataContext& context, const std::string& path, bool fromScript, bool fullWrite);

// Nothing happens when the file does not exist. Without merging the sections
// are appended to the model's lists (the size table unless ignoreSizes);
// with merging the states of components the model defines are taken over and
// the deleted, hidden and locked sets replaced, and sizes are never read.
void LoadSetupData(const SetupDataContext& context, const std::string& path, bool merge, bool ignoreSizes);

}  // namespace kaviro::installer
