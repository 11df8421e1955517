#pragma once
// The component commands of the script. Each function carries out one
// statement with parameters the interpreter has already read and expanded
// (translated first when a language is active); a result variable is the
// parameter as written, bare or as $NAME$.
//
//   "Define Component"          1 name, 2 initially selected, 3 description
//   "Delete Component"          1 name
//   "Get Component State"       1 name, 2 result variable
//   "Set Component State"       1 name, 2 selected
//   "Get Component Space"       1 name (may be empty), 2 result variable
//   "Set Component Space"       1 name, 2 size
//   "Set Component Choice"      1 name, 2 user may change
//   "Set Component Visibility"  1 name, 2 visible
//   "Save Feature Selections"   1 file path
//   "Load Feature Selections"   1 file path
//
// Boolean parameters are the statement's text, not expanded.

#include <optional>
#include <string>
#include <string_view>

#include "installer/component_model.h"
#include "installer/setup_data_file.h"
#include "installer/setup_data_variables.h"

namespace kaviro::installer {

// Switches the file-system redirection of 32-bit programs off around file
// work in 64-bit mode. The Windows build supplies the real switch.
class FileSystemRedirection {
  public:
    virtual ~FileSystemRedirection() = default;
    virtual void SwitchOff() = 0;
    virtual void Restore() = 0;
};

// The redirection switch of runs that have none (native builds, tests).
class NoFileSystemRedirection final : public FileSystemRedirection {
  public:
    void SwitchOff() override {}
    void Restore() override {}
};

// untranslatedName: in a run with an active translation, the name as the
// script wrote it (expanded); its size is carried over to the translated name.
void CommandDefineComponent(ComponentModel& model, std::string_view name, std::string_view selected,
                            std::string_view description,
                            const std::optional<std::string>& untranslatedName = std::nullopt);
void CommandDeleteComponent(ComponentModel& model, std::string_view name);
void CommandGetComponentState(const ComponentModel& model, SetupDataVariables& variables,
                              std::string_view name, std::string_view resultVariable);
void CommandSetComponentState(ComponentModel& model, std::string_view name, std::string_view selected);
void CommandGetComponentSpace(const ComponentModel& model, SetupDataVariables& variables,
                              std::string_view name, std::string_view resultVariable);
void CommandSetComponentSpace(ComponentModel& model, std::string_view name, std::string_view size);
void CommandSetComponentChoice(ComponentModel& model, std::string_view name, std::string_view userMayChange);
void CommandSetComponentVisibility(ComponentModel& model, std::string_view name, std::string_view visible);
void CommandSaveFeatureSelections(const SetupDataContext& context, FileSystemRedirection& redirection,
                                  const std::string& path);
void CommandLoadFeatureSelections(const SetupDataContext& context, FileSystemRedirection& redirection,
                                  const std::string& path);

}  // namespace kaviro::installer
