#include <gtest/gtest.h>

#include "tests/unit/ui/fake_locale.h"
#include "ui/language_table.h"

namespace kaviro::ui {
namespace {

TEST(LanguageTable, NamesAndIdentifiersBothWays) {
    const FakeLocale locale;
    const struct {
        const char* name;
        int id;
    } cases[] = {{"Arabic", 1025},
                 {"Chinese (PRC)", 2052},
                 {"English", 1033},
                 {"Spanish", 3082},
                 {"German", 1031},
                 {"Basque", 1069},
                 {"Portugese (Portugal)", 2070},
                 {"Vietnamese", 1066}};
    for (const auto& entry : cases) {
        EXPECT_EQ(LanguageName(entry.id, locale), entry.name);
        EXPECT_EQ(LanguageId(entry.name), std::to_string(entry.id));
    }
}

TEST(LanguageTable, NameLookUpIgnoresCaseAndUnknownNamesAreEnglish) {
    EXPECT_EQ(LanguageId("gErMaN"), "1031");
    EXPECT_EQ(LanguageId("chinese (taiwan)"), "1028");
    EXPECT_EQ(LanguageId("Klingon"), "1033");
    EXPECT_EQ(LanguageId(""), "1033");
}

TEST(LanguageTable, IdentifiersOutsideTheTableGoThroughThePlatformsEnglishName) {
    // German (Switzerland) is German; Bulgarian is not in the table and so English;
    // an identifier the platform cannot name is English as well.
    const FakeLocale locale(1033, {{2055, "German"}, {1026, "Bulgarian"}, {3084, "FRENCH"}});
    EXPECT_EQ(LanguageName(2055, locale), "German");
    EXPECT_EQ(LanguageName(3084, locale), "French");
    EXPECT_EQ(LanguageName(1026, locale), "English");
    EXPECT_EQ(LanguageName(4242, locale), "English");
}

}  // namespace
}  // namespace kaviro::ui
