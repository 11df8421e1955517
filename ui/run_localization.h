#pragma once
// The run's localization: one set of translations for the whole run,
// chosen at the run start (language selection), reloaded when the script
// changes LANGUAGE, and used by every command that translates its
// parameters and by "Localization Variable".

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/package_format.h"
#include "script/command_table.h"
#include "script/run_environment.h"
#include "ui/language_selection.h"
#include "ui/language_table.h"
#include "ui/localization_services.h"
#include "ui/translations.h"

namespace kaviro::ui {

// The engine message table and the language names of a locale.
class MessageTableTexts final : public EngineTexts {
  public:
    explicit MessageTableTexts(const LocaleInfo& locale) : locale_(locale) {}
    [[nodiscard]] std::string MessageText(int line) const override;
    void LoadMessageFile(const std::string& path) override;
    [[nodiscard]] std::string LanguageNameOf(int languageId) const override;

  private:
    const LocaleInfo& locale_;
};

// The user's default language of a locale.
class LocaleUserLanguage final : public UserLocale {
  public:
    explicit LocaleUserLanguage(const LocaleInfo& locale) : locale_(locale) {}
    [[nodiscard]] int UserDefaultLanguageId() const override { return locale_.UserDefaultLanguageId(); }

  private:
    const LocaleInfo& locale_;
};

// The platform's pieces of language selection.
struct LocalizationPlatform {
    std::unique_ptr<LanguageFiles> files;
    std::unique_ptr<LanguageDialog> dialog;
    const LocaleInfo* locale = nullptr;
};

// Windows: the ANSI file functions, the TSetLanguage dialog with the
// engine's icons, the system locale. Native builds have no window system:
// their dialog takes the preselected language, their locale is English.
LocalizationPlatform MakeLocalizationPlatform();

struct RunLocalizationPaths {
    std::string supportFolder;
    // Setup folder + setup base name + ".msp".
    std::string patchFile;
    // The installed product's language file (setup cache folder + base name
    // + ".lan"); asked for after the bootstrap has found the cache.
    std::function<std::string(script::TVariableManager&)> installedLanguageFile;
};

class RunLocalization final : public script::ParameterTranslator, public script::LanguageSelector {
  public:
    // Everything passed in must outlive this object.
    RunLocalization(const Script& script, RunLocalizationPaths paths, EngineTexts& engineTexts,
                    const LanguageFiles& files, const UserLocale& locale, LanguageDialog& dialog);

    // ParameterTranslator.
    [[nodiscard]] bool Active() const override { return translations_.IsLanguageActive(); }
    std::string TranslateParameter(std::string_view statementId, int k, const std::string& text) override;

    // LanguageSelector.
    [[nodiscard]] bool SelectLanguage(script::RunContext& context) override;

    // Before a statement, when LANGUAGE changed: raises EngineError when the
    // language's translation files are missing.
    void ReloadTranslations(const std::string& language) { translations_.ReloadTranslations(language); }

    [[nodiscard]] Translations& translations() { return translations_; }
    [[nodiscard]] const Translations& translations() const { return translations_; }

  private:
    const Script& script_;
    RunLocalizationPaths paths_;
    Translations translations_;
    EngineTexts& engineTexts_;
    const LanguageFiles& files_;
    const UserLocale& locale_;
    LanguageDialog& dialog_;
};

// "Localization Variable", over the run's translations.
void RegisterLocalizationCommands(script::CommandTable& table, RunLocalization& localization);

}  // namespace kaviro::ui
