#include "ui/language_table.h"

#include <array>

#include "engine/text_util.h"

namespace kaviro::ui {
namespace {

struct Language {
    std::string_view name;
    int id;
};

constexpr std::array<Language, 35> kLanguages{{
    {"Arabic", 1025},
    {"Catalan", 1027},
    {"Chinese (Taiwan)", 1028},
    {"Chinese (PRC)", 2052},
    {"Czech", 1029},
    {"Danish", 1030},
    {"German", 1031},
    {"Greek", 1032},
    {"English", 1033},
    {"Spanish", 3082},
    {"Estonian", 1061},
    {"Finnish", 1035},
    {"French", 1036},
    {"Hebrew", 1037},
    {"Hungarian", 1038},
    {"Italian", 1040},
    {"Japanese", 1041},
    {"Korean", 1042},
    {"Lithuanian", 1063},
    {"Latvian", 1062},
    {"Dutch", 1043},
    {"Norwegian", 1044},
    {"Polish", 1045},
    {"Portugese (Brazil)", 1046},
    {"Portugese (Portugal)", 2070},
    {"Romanian", 1048},
    {"Russian", 1049},
    {"Croatian", 1050},
    {"Slovak", 1051},
    {"Swedish", 1053},
    {"Thai", 1054},
    {"Turkish", 1055},
    {"Slovenian", 1060},
    {"Vietnamese", 1066},
    {"Basque", 1069},
}};

constexpr int kEnglish = 1033;

std::optional<std::string_view> FindLanguageName(int languageId) {
    for (const Language& language : kLanguages) {
        if (language.id == languageId)
            return language.name;
    }
    return std::nullopt;
}

}  // namespace

std::optional<int> FindLanguageId(std::string_view name) {
    for (const Language& language : kLanguages) {
        if (EqualsIgnoreCase(language.name, name))
            return language.id;
    }
    return std::nullopt;
}

std::string LanguageId(std::string_view name) {
    return std::to_string(FindLanguageId(name).value_or(kEnglish));
}

std::string LanguageName(int languageId, const LocaleInfo& locale) {
    if (const auto name = FindLanguageName(languageId))
        return std::string(*name);
    // An identifier the table lacks (a regional variant such as German
    // (Switzerland)) goes by the English name of its language.
    const int resolved = FindLanguageId(locale.EnglishLanguageName(languageId)).value_or(kEnglish);
    return std::string(FindLanguageName(resolved).value_or("English"));
}

}  // namespace kaviro::ui
