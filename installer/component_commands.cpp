#include "installer/component_commands.h"

#include "engine/text_util.h"
#include "installer/component_name.h"

namespace kaviro::installer {
namespace {

// The redirection is off for the lifetime of the guard.
class RedirectionOff {
  public:
    explicit RedirectionOff(FileSystemRedirection& redirection) : redirection_(redirection) {
        redirection_.SwitchOff();
    }
    ~RedirectionOff() { redirection_.Restore(); }
    RedirectionOff(const RedirectionOff&) = delete;
    RedirectionOff& operator=(const RedirectionOff&) = delete;

  private:
    FileSystemRedirection& redirection_;
};

// A variable named as $NAME$ or bare.
std::string_view BareName(std::string_view text) {
    if (text.size() > 2 && text.front() == '$' && text.back() == '$')
        return text.substr(1, text.size() - 2);
    return text;
}

// Creates the result variable (upper-cased, empty) when missing, then stores
// the result through the protected assignment. An empty name stores nothing.
void WriteResult(SetupDataVariables& variables, std::string_view resultVariable, std::string_view value,
                 std::string_view command) {
    const std::string_view name = BareName(resultVariable);
    if (name.empty())
        return;
    const std::string origin = std::string(command) + " Action";
    if (!variables.Exists(name))
        variables.Define(UpperCase(name), "", origin);
    variables.Assign(name, value, origin);
}

}  // namespace

void CommandDefineComponent(ComponentModel& model, std::string_view name, std::string_view selected,
                            std::string_view description,
                            const std::optional<std::string>& untranslatedName) {
    if (untranslatedName) {
        const int64_t size = model.ComponentSize(*untranslatedName);
        if (size != 0) {
            TextList& table = model.MutableLists().sizeTable;
            table.emplace_back(name);
            table.push_back(std::to_string(size));
        }
    }
    model.DefineComponent(name, description, ReadBoolean(selected));
}

void CommandDeleteComponent(ComponentModel& model, std::string_view name) {
    if (model.ComponentExists(name) && !model.IsDeleted(name))
        model.AppendDeleted(name);
}

void CommandGetComponentState(const ComponentModel& model, SetupDataVariables& variables,
                              std::string_view name, std::string_view resultVariable) {
    if (BareName(resultVariable).empty())
        return;
    WriteResult(variables, resultVariable, BooleanText(model.GetComponentState(name)), "Get Component State");
}

void CommandSetComponentState(ComponentModel& model, std::string_view name, std::string_view selected) {
    model.SetComponentState(name, ReadBoolean(selected));
}

void CommandGetComponentSpace(const ComponentModel& model, SetupDataVariables& variables,
                              std::string_view name, std::string_view resultVariable) {
    if (BareName(resultVariable).empty())
        return;
    const int64_t size = name.empty() ? model.SelectedSize() : model.ComponentSize(name);
    WriteResult(variables, resultVariable, std::to_string(size), "Get Component Space");
}

void CommandSetComponentSpace(ComponentModel& model, std::string_view name, std::string_view size) {
    const std::optional<int64_t> bytes = ParseInt64(size);
    if (!bytes || !model.ComponentExists(name))
        return;
    model.StoreComponentSize(name, *bytes);
}

void CommandSetComponentChoice(ComponentModel& model, std::string_view name, std::string_view userMayChange) {
    if (ReadBoolean(userMayChange)) {
        model.RemoveLocked(name);
    } else if (model.ComponentExists(name) && !model.IsLocked(name)) {
        model.AppendLocked(name);
    }
}

void CommandSetComponentVisibility(ComponentModel& model, std::string_view name, std::string_view visible) {
    if (ReadBoolean(visible)) {
        model.RemoveHidden(name);
    } else if (model.ComponentExists(name) && !model.IsHidden(name)) {
        model.AppendHidden(name);
    }
}

void CommandSaveFeatureSelections(const SetupDataContext& context, FileSystemRedirection& redirection,
                                  const std::string& path) {
    RedirectionOff off(redirection);
    SaveSetupData(context, path, /*fromScript=*/true, /*fullWrite=*/true);
}

void CommandLoadFeatureSelections(const SetupDataContext& context, FileSystemRedirection& redirection,
                                  const std::string& path) {
    RedirectionOff off(redirection);
    // A missing file changes nothing; LoadSetupData checks that itself.
    LoadSetupData(context, path, /*merge=*/true, /*ignoreSizes=*/false);
}

}  // namespace kaviro::installer
