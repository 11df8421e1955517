// The running system's locale for the language look-ups.

#include <windows.h>

#include <cstdlib>

#include "ui/language_table.h"

namespace kaviro::ui {
namespace {

std::string LocaleText(LCID locale, LCTYPE item) {
    char buffer[128] = {};
    if (!GetLocaleInfoA(locale, item, buffer, sizeof(buffer)))
        return {};
    return buffer;
}

class SystemLocaleInfo final : public LocaleInfo {
  public:
    std::string EnglishLanguageName(int languageId) const override {
        return LocaleText(MAKELCID(static_cast<LANGID>(languageId), SORT_DEFAULT), LOCALE_SENGLANGUAGE);
    }
    int UserLanguageId() const override { return HexValue(LOCALE_ILANGUAGE); }
    int UserDefaultLanguageId() const override { return HexValue(LOCALE_IDEFAULTLANGUAGE); }

  private:
    // Both values are hexadecimal numbers ("0407").
    static int HexValue(LCTYPE item) {
        return static_cast<int>(std::strtol(LocaleText(LOCALE_USER_DEFAULT, item).c_str(), nullptr, 16));
    }
};

}  // namespace

const LocaleInfo& SystemLocale() {
    static const SystemLocaleInfo locale;
    return locale;
}

}  // namespace kaviro::ui
