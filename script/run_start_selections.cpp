#include "script/run_start_selections.h"

namespace kaviro::script {

void DefineAlwaysPresentComponent(RunContext& context) {
    if (ComponentRun* components = context.environment().components) components->DefinePredefinedComponent();
}

bool ChooseRunLanguage(RunContext& context) {
    LanguageSelector* languages = context.environment().languages;
    if (!languages) {
        context.variables().DefineVariable("LANGUAGE", "", "Initialization");
        return true;
    }
    return languages->SelectLanguage(context);
}

}  // namespace kaviro::script
