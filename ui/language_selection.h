#pragma once
// Choosing the run's language once at the start: the languages the setup
// offers are its "translations." + language files; the user may pick one in
// the language dialog, which preselects the user's own language; maintenance
// and patch runs keep the language of the installed product.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "ui/localization_services.h"
#include "ui/translations.h"

namespace kaviro::ui {

// The files language selection looks at.
class LanguageFiles {
  public:
    virtual ~LanguageFiles() = default;
    [[nodiscard]] virtual bool Exists(const std::string& path) const = 0;
    // Full paths of the folder's files whose names match "translations.*"
    // (case ignored), in listing order.
    [[nodiscard]] virtual std::vector<std::string> ListTranslationFiles(const std::string& folder) const = 0;
    // The first line of a text file; empty optional when it cannot be read.
    [[nodiscard]] virtual std::optional<std::string> ReadFirstLine(const std::string& path) const = 0;
};

// LanguageFiles over the standard library's file system; the listing is in
// name order (case ignored), as the NTFS directory order gives it. The
// Windows engine uses Win32LanguageFiles, which keeps ANSI paths ANSI.
class FileSystemLanguageFiles : public LanguageFiles {
  public:
    [[nodiscard]] bool Exists(const std::string& path) const override;
    [[nodiscard]] std::vector<std::string> ListTranslationFiles(const std::string& folder) const override;
    [[nodiscard]] std::optional<std::string> ReadFirstLine(const std::string& path) const override;
};

// The texts of the language dialog (message lines 89, 90, 38, 39).
struct LanguageDialogTexts {
    std::string caption;
    std::string prompt;
    std::string ok;
    std::string cancel;
};

// The modal language dialog.
class LanguageDialog {
  public:
    virtual ~LanguageDialog() = default;
    // Shows the languages with one preselected; the chosen position after OK,
    // empty optional after Cancel.
    [[nodiscard]] virtual std::optional<std::size_t> Choose(const std::vector<std::string>& languages,
                                                            std::size_t preselected,
                                                            const LanguageDialogTexts& texts) = 0;
};

struct LanguageSelectionInputs {
    std::string defaultLanguage;   // the package's default language
    bool languagePrompt = false;   // the package allows the dialog
    bool maintenance = false;      // MAINTENANCE read as a boolean
    bool patchFileExists = false;  // setup folder + base name + ".msp"
    bool silent = false;
    std::string installedLanguageFile;  // setup cache folder + base name + ".lan"
};

struct LanguageSelectionServices {
    const LanguageFiles& files;
    const EngineTexts& engineTexts;
    const UserLocale& locale;
    LanguageDialog& dialog;
    LocalizationVariables& variables;
};

enum class LanguageSelectionOutcome { Chosen, Cancelled };

inline constexpr std::string_view kInitializationContext = "Initialization";
inline constexpr std::string_view kLanguageVariable = "LANGUAGE";

// The position to preselect: the first item equal to the user's language,
// else the first equal to the default language, else the first (case ignored).
[[nodiscard]] std::size_t PreselectedLanguage(const std::vector<std::string>& languages,
                                              std::string_view defaultLanguage,
                                              std::string_view userLanguage);

// Runs once at run start, after the predefined variables. Sets the current
// language of the translations and LANGUAGE (context "Initialization").
// Cancelled means the user cancelled the dialog: the run ends at once, and
// LANGUAGE is left alone.
LanguageSelectionOutcome SelectLanguage(Translations& translations, const LanguageSelectionInputs& inputs,
                                        const LanguageSelectionServices& services);

}  // namespace kaviro::ui
