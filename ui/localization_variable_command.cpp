#include "ui/localization_variable_command.h"

#include "engine/text_util.h"

namespace kaviro::ui {

std::string LocalizationVariableKey(std::string_view name) {
    return std::string(kVariableKeyOpening) + std::string(name) + std::string(kVariableKeyClosing);
}

void RunLocalizationVariable(std::string_view nameParameter, std::string_view textParameter,
                             const Translations& translations, LocalizationVariables& variables) {
    std::string_view name = nameParameter;
    if (name.size() >= 2 && name.front() == '$' && name.back() == '$')
        name = name.substr(1, name.size() - 2);
    if (name.empty())
        return;

    const std::string context = std::string(kLocalizationVariableCommand) + " Action";
    if (!variables.Exists(name))
        variables.DefineVariable(UpperCase(name), "", context);
    const std::string text = translations.TranslateParameter(textParameter, LocalizationVariableKey(name), 1);
    variables.AssignVariable(name, variables.Expand(text), context);
}

}  // namespace kaviro::ui
