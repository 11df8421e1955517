#pragma once
// The "Localization Variable" command: a variable whose text is translated
// under its own key, so scripts can carry translated texts of their own.

#include <string>
#include <string_view>

#include "ui/localization_services.h"
#include "ui/translations.h"

namespace kaviro::ui {

inline constexpr std::string_view kLocalizationVariableCommand = "Localization Variable";

// The translation key of a localization variable: "CODEGEAR$" + name + "$CODEGEAR".
[[nodiscard]] std::string LocalizationVariableKey(std::string_view name);

// Parameter 1 names the variable (NAME or $NAME$), parameter 2 is its text.
// A missing variable is created (upper-cased, empty); then it gets the text,
// translated when a language is active and expanded, by protected
// assignment. An empty name writes nothing.
void RunLocalizationVariable(std::string_view nameParameter, std::string_view textParameter,
                             const Translations& translations, LocalizationVariables& variables);

}  // namespace kaviro::ui
