#pragma once
// A locale with fixed answers for the language look-ups.

#include <map>
#include <string>

#include "ui/language_table.h"

namespace kaviro::ui {

class FakeLocale final : public LocaleInfo {
  public:
    explicit FakeLocale(int userLanguage = 1033, std::map<int, std::string> englishNames = {})
        : userLanguage_(userLanguage), englishNames_(std::move(englishNames)) {}
    std::string EnglishLanguageName(int languageId) const override {
        const auto found = englishNames_.find(languageId);
        return found == englishNames_.end() ? std::string() : found->second;
    }
    int UserLanguageId() const override { return userLanguage_; }
    int UserDefaultLanguageId() const override { return userLanguage_; }

  private:
    int userLanguage_;
    std::map<int, std::string> englishNames_;
};

}  // namespace kaviro::ui
