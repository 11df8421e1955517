#include "ui/run_localization.h"

#include "script/run_context.h"
#include "script/variable_text.h"
#include "ui/localization_variable_command.h"
#include "ui/message_table.h"

namespace kaviro::ui {

std::string MessageTableTexts::MessageText(int line) const { return Message(line); }

void MessageTableTexts::LoadMessageFile(const std::string& path) { LoadMessageTable(path, locale_); }

std::string MessageTableTexts::LanguageNameOf(int languageId) const { return LanguageName(languageId, locale_); }

RunLocalization::RunLocalization(const Script& script, RunLocalizationPaths paths, EngineTexts& engineTexts,
                                 const LanguageFiles& files, const UserLocale& locale, LanguageDialog& dialog)
    : script_(script),
      paths_(std::move(paths)),
      translations_(script, paths_.supportFolder, engineTexts),
      engineTexts_(engineTexts),
      files_(files),
      locale_(locale),
      dialog_(dialog) {}

std::string RunLocalization::TranslateParameter(std::string_view statementId, int k, const std::string& text) {
    return translations_.TranslateParameter(text, statementId, k);
}

bool RunLocalization::SelectLanguage(script::RunContext& context) {
    script::TVariableManager& store = context.variables();
    LanguageSelectionInputs inputs;
    inputs.defaultLanguage = script_.defaultLanguage;
    inputs.languagePrompt = script_.languagePrompt;
    inputs.maintenance = script::TextToBool(store.Get("MAINTENANCE"));
    inputs.patchFileExists = !paths_.patchFile.empty() && files_.Exists(paths_.patchFile);
    inputs.silent = context.Silent();
    if (paths_.installedLanguageFile) inputs.installedLanguageFile = paths_.installedLanguageFile(store);
    ForwardingVariables<script::TVariableManager> variables(store);
    const LanguageSelectionServices services{files_, engineTexts_, locale_, dialog_, variables};
    return ui::SelectLanguage(translations_, inputs, services) == LanguageSelectionOutcome::Chosen;
}

void RegisterLocalizationCommands(script::CommandTable& table, RunLocalization& localization) {
    table.Register(std::string(kLocalizationVariableCommand),
                   [&localization](script::RunContext& context, std::size_t index) {
                       ForwardingVariables<script::TVariableManager> variables(context.variables());
                       RunLocalizationVariable(context.Parameter(index, 1), context.Parameter(index, 2),
                                               localization.translations(), variables);
                   });
}

}  // namespace kaviro::ui
