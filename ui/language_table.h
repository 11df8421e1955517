#pragma once
// The languages the engine knows by name, with their Windows language
// identifiers, and the look-ups between the two. Names compare with case
// ignored. Identifiers the table lacks are resolved through the platform's
// English language name, which comes in through LocaleInfo.

#include <optional>
#include <string>
#include <string_view>

namespace kaviro::ui {

// What the language look-ups need to know of the platform.
class LocaleInfo {
  public:
    virtual ~LocaleInfo() = default;
    // The platform's English name of the identifier's language ("German"), or "".
    [[nodiscard]] virtual std::string EnglishLanguageName(int languageId) const = 0;
    // The language identifier of the user's default locale.
    [[nodiscard]] virtual int UserLanguageId() const = 0;
    // The default language identifier of the user's default locale.
    [[nodiscard]] virtual int UserDefaultLanguageId() const = 0;
};

// The identifier of a language name in the table, case ignored.
[[nodiscard]] std::optional<int> FindLanguageId(std::string_view name);

// The identifier of a name as decimal text; "1033" (English) for unknown names.
[[nodiscard]] std::string LanguageId(std::string_view name);

// The name of an identifier. One the table lacks resolves through the
// platform's English name of its language; a language the table does not know
// at all gives "English".
[[nodiscard]] std::string LanguageName(int languageId, const LocaleInfo& locale);

// The running system's locale (Windows builds only).
const LocaleInfo& SystemLocale();

}  // namespace kaviro::ui
