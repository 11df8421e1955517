#pragma once
// The component model of a run: created from the package at start-up,
// given its always-present component by the run start, changed by the
// component commands, shown by the feature dialogs and written to the
// setup data file when the run ends.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/package_format.h"
#include "installer/component_commands.h"
#include "installer/component_model.h"
#include "installer/setup_data_file.h"
#include "installer/size_format.h"
#include "installer/target_space.h"
#include "script/command_table.h"
#include "script/run_environment.h"
#include "script/variable_manager.h"

namespace kaviro::installer {

// The variable store as the component model and the setup data file see it.
class StoreVariables final : public SetupDataVariables {
  public:
    explicit StoreVariables(script::TVariableManager& store) : store_(store) {}
    [[nodiscard]] std::string Get(std::string_view name) const override { return store_.GetVariable(name); }
    [[nodiscard]] bool Exists(std::string_view name) const override { return store_.Exists(name); }
    void Define(std::string_view name, std::string_view value, std::string_view origin) override {
        store_.DefineVariable(name, value, origin);
    }
    void Assign(std::string_view name, std::string_view value, std::string_view origin) override {
        store_.AssignVariable(name, value, origin);
    }

  private:
    script::TVariableManager& store_;
};

inline constexpr std::string_view kInitialSixtyFourBitMode = "Win32";

class ComponentRun final : public script::ComponentRun {
  public:
    // The size table and media layout code from the package's component section.
    explicit ComponentRun(const Script& script);

    void DefinePredefinedComponent() override;

    [[nodiscard]] ComponentModel& model() { return model_; }
    [[nodiscard]] const ComponentModel& model() const { return model_; }
    // "Win32", "x64" or "ia64": "Set 64 Bit Mode" and loaded setup data change it.
    [[nodiscard]] std::string& sixtyFourBitMode() { return sixtyFourBitMode_; }
    // Switches redirection off around file work while the mode is not "Win32".
    [[nodiscard]] FileSystemRedirection& redirection() { return *redirection_; }

  private:
    ComponentModel model_;
    std::string sixtyFourBitMode_{kInitialSixtyFourBitMode};
    std::unique_ptr<FileSystemRedirection> redirection_;
};

// The ten component commands, over the run's model. Name parameters (and
// the description of "Define Component") are translated while a language
// is active, then expanded.
void RegisterComponentCommands(script::CommandTable& table, ComponentRun& components);

// The unit texts of the message table ("bytes", "KB", "MB" in the active language).
[[nodiscard]] SizeUnitTexts MessageTableSizeUnits();
// FormatSize with those units: what the feature dialogs show.
[[nodiscard]] std::string FormatSizeForDisplay(int64_t value);

// The engine cache folder of this revision as far as the run knows it:
// ENGINECACHE, which the run start defines from OVERRIDECACHE, the
// registered cache or the application data folders; before that (or when
// none was found) OVERRIDECACHE followed by the revision code and "\".
// Empty when neither is known.
[[nodiscard]] std::string EngineCacheFolder(const SetupDataVariables& variables, std::string_view revisionCode);

// The setup data file written when the run has ended.
struct EndOfRunSave {
    std::string setupDataPath;        // engine cache folder + package base name + ".dat"
    bool fullWrite = false;           // a successful installation in this run
    bool productRemoved = false;      // the run removed the product: nothing is written
    std::string dataFolderShortPath;  // the tenth line of a full write
};

// Writes the model and the saved variables when the saved-variable list is
// not empty: in full, or as an update of an existing file (a missing file
// stays missing). Returns whether a file was written.
bool SaveRunData(ComponentRun& components, SetupDataVariables& variables, const EndOfRunSave& save);

}  // namespace kaviro::installer
