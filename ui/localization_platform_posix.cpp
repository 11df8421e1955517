// The native pieces of language selection. Native builds run scripts
// without a window system: the language dialog takes the preselected
// language as a silent run does, and the user's locale is English.

#include "ui/run_localization.h"

namespace kaviro::ui {
namespace {

constexpr int kEnglish = 1033;

class PreselectingDialog final : public LanguageDialog {
  public:
    std::optional<std::size_t> Choose(const std::vector<std::string>& /*languages*/, std::size_t preselected,
                                      const LanguageDialogTexts& /*texts*/) override {
        return preselected;
    }
};

class EnglishLocale final : public LocaleInfo {
  public:
    std::string EnglishLanguageName(int languageId) const override {
        return languageId == kEnglish ? "English" : "";
    }
    int UserLanguageId() const override { return kEnglish; }
    int UserDefaultLanguageId() const override { return kEnglish; }
};

}  // namespace

LocalizationPlatform MakeLocalizationPlatform() {
    static const EnglishLocale locale;
    LocalizationPlatform platform;
    platform.files = std::make_unique<FileSystemLanguageFiles>();
    platform.dialog = std::make_unique<PreselectingDialog>();
    platform.locale = &locale;
    return platform;
}

}  // namespace kaviro::ui
