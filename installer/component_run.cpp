#include "installer/component_run.h"

#include <fstream>

#include "installer/component_platform.h"
#include "script/run_context.h"
#include "ui/message_table.h"

namespace kaviro::installer {
namespace {

// Parameter 1 of every component command names the component: its first
// translatable text.
std::string ComponentName(script::RunContext& context, std::size_t index) {
    return context.ExpandedTranslatedParameter(index, 1, 1);
}

SetupDataContext DataContext(ComponentRun& components, SetupDataVariables& variables) {
    return SetupDataContext{components.model(), variables, components.sixtyFourBitMode(), {}};
}

std::string FolderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

}  // namespace

ComponentRun::ComponentRun(const Script& script) : redirection_(MakeFileSystemRedirection(sixtyFourBitMode_)) {
    model_.LoadFromPackage(script);
}

void ComponentRun::DefinePredefinedComponent() { model_.DefineComponent(kPredefinedComponent, "", true); }

void RegisterComponentCommands(script::CommandTable& table, ComponentRun& components) {
    ComponentRun* run = &components;
    table.Register("Define Component", [run](script::RunContext& context, std::size_t index) {
        std::optional<std::string> untranslated;
        if (context.TranslationActive()) untranslated = context.ExpandedParameter(index, 1);
        CommandDefineComponent(run->model(), ComponentName(context, index), context.Parameter(index, 2),
                               context.ExpandedTranslatedParameter(index, 3, 2), untranslated);
    });
    table.Register("Delete Component", [run](script::RunContext& context, std::size_t index) {
        CommandDeleteComponent(run->model(), ComponentName(context, index));
    });
    table.Register("Get Component State", [run](script::RunContext& context, std::size_t index) {
        StoreVariables variables(context.variables());
        CommandGetComponentState(run->model(), variables, ComponentName(context, index),
                                 context.Parameter(index, 2));
    });
    table.Register("Set Component State", [run](script::RunContext& context, std::size_t index) {
        CommandSetComponentState(run->model(), ComponentName(context, index), context.Parameter(index, 2));
    });
    table.Register("Get Component Space", [run](script::RunContext& context, std::size_t index) {
        StoreVariables variables(context.variables());
        CommandGetComponentSpace(run->model(), variables, ComponentName(context, index),
                                 context.Parameter(index, 2));
    });
    table.Register("Set Component Space", [run](script::RunContext& context, std::size_t index) {
        CommandSetComponentSpace(run->model(), ComponentName(context, index), context.ExpandedParameter(index, 2));
    });
    table.Register("Set Component Choice", [run](script::RunContext& context, std::size_t index) {
        CommandSetComponentChoice(run->model(), ComponentName(context, index), context.Parameter(index, 2));
    });
    table.Register("Set Component Visibility", [run](script::RunContext& context, std::size_t index) {
        CommandSetComponentVisibility(run->model(), ComponentName(context, index), context.Parameter(index, 2));
    });
    table.Register("Save Feature Selections", [run](script::RunContext& context, std::size_t index) {
        StoreVariables variables(context.variables());
        CommandSaveFeatureSelections(DataContext(*run, variables), run->redirection(),
                                     context.ExpandedParameter(index, 1));
    });
    table.Register("Load Feature Selections", [run](script::RunContext& context, std::size_t index) {
        StoreVariables variables(context.variables());
        CommandLoadFeatureSelections(DataContext(*run, variables), run->redirection(),
                                     context.ExpandedParameter(index, 1));
    });
}

SizeUnitTexts MessageTableSizeUnits() {
    return SizeUnitTexts{ui::Message(ui::message_line::kBytes), ui::Message(ui::message_line::kKilobytes),
                         ui::Message(ui::message_line::kMegabytes)};
}

std::string FormatSizeForDisplay(int64_t value) { return FormatSize(value, MessageTableSizeUnits()); }

std::string EngineCacheFolder(const SetupDataVariables& variables, std::string_view revisionCode) {
    std::string folder = variables.Get("ENGINECACHE");
    if (!folder.empty()) return folder;
    const std::string root = variables.Get(kOverrideCacheVariable);
    if (root.empty()) return {};
    return root + std::string(revisionCode) + "\\";
}

bool SaveRunData(ComponentRun& components, SetupDataVariables& variables, const EndOfRunSave& save) {
    if (save.productRemoved || save.setupDataPath.empty() || components.model().SavedVariables().empty())
        return false;
    if (!save.fullWrite && !std::ifstream(save.setupDataPath, std::ios::binary)) return false;
    const std::string folder = FolderOf(save.setupDataPath);
    if (!folder.empty() && !EnsureFolder(folder)) return false;
    SetupDataContext context = DataContext(components, variables);
    context.dataFolderShortPath = save.dataFolderShortPath;
    SaveSetupData(context, save.setupDataPath, /*fromScript=*/false, save.fullWrite);
    return true;
}

}  // namespace kaviro::installer
