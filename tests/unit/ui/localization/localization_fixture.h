#pragma once
// Shared pieces of the localization tests: a support folder made on disk,
// and recording stand-ins for the engine texts, the locale, the variable
// store and the dialog.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/text_util.h"
#include "ui/language_selection.h"
#include "ui/localization_services.h"
#include "ui/translations.h"

namespace kaviro::ui::testing {

class SupportFolder {
  public:
    SupportFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("kaviro_localization_" + std::string(info->test_suite_name()) + "_" + info->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~SupportFolder() {
        std::error_code ignored;  // a leftover scratch folder does no harm
        std::filesystem::remove_all(path_, ignored);
    }
    SupportFolder(const SupportFolder&) = delete;
    SupportFolder& operator=(const SupportFolder&) = delete;

    [[nodiscard]] std::string Path() const { return path_.string() + "/"; }
    void Write(const std::string& name, const std::vector<std::string>& lines) const {
        std::ofstream file(path_ / name, std::ios::binary);
        for (const auto& line : lines) file << line << "\r\n";
    }
    void Remove(const std::string& name) const { std::filesystem::remove(path_ / name); }

  private:
    std::filesystem::path path_;
};

class RecordingEngineTexts final : public EngineTexts {
  public:
    [[nodiscard]] std::string MessageText(int line) const override {
        return "message " + std::to_string(line);
    }
    void LoadMessageFile(const std::string& path) override { loaded.push_back(path); }
    [[nodiscard]] std::string LanguageNameOf(int languageId) const override {
        const auto found = names.find(languageId);
        return found == names.end() ? "English" : found->second;
    }
    std::map<int, std::string> names{{1031, "German"}, {1033, "English"}, {1036, "French"}};
    std::vector<std::string> loaded;
};

class FixedLocale final : public UserLocale {
  public:
    explicit FixedLocale(int id) : id_(id) {}
    [[nodiscard]] int UserDefaultLanguageId() const override { return id_; }

  private:
    int id_;
};

class MapVariables final : public LocalizationVariables {
  public:
    struct Write {
        std::string name;
        std::string value;
        std::string context;
    };
    [[nodiscard]] bool Exists(std::string_view name) const override {
        return values.count(UpperCase(name)) != 0;
    }
    [[nodiscard]] std::string GetVariable(std::string_view name) const override {
        const auto found = values.find(UpperCase(name));
        return found == values.end() ? "" : found->second;
    }
    void DefineVariable(std::string_view name, std::string_view value, std::string_view context) override {
        values[UpperCase(name)] = std::string(value);
        writes.push_back({std::string(name), std::string(value), std::string(context)});
    }
    void AssignVariable(std::string_view name, std::string_view value, std::string_view context) override {
        DefineVariable(name, value, context);
    }
    // One pass of $NAME$ replacement is enough for these tests.
    [[nodiscard]] std::string Expand(std::string_view text) const override {
        std::string result(text);
        for (const auto& [name, value] : values)
            result = ReplaceAllIgnoreCase(result, "$" + name + "$", value);
        return result;
    }
    std::map<std::string, std::string> values;
    std::vector<Write> writes;
};

class ScriptedDialog final : public LanguageDialog {
  public:
    [[nodiscard]] std::optional<std::size_t> Choose(const std::vector<std::string>& languages,
                                                    std::size_t preselected,
                                                    const LanguageDialogTexts& texts) override {
        ++shown;
        shownLanguages = languages;
        shownPreselection = preselected;
        shownTexts = texts;
        if (cancel)
            return std::nullopt;
        return answer ? answer : preselected;
    }
    bool cancel = false;
    std::optional<std::size_t> answer;
    int shown = 0;
    std::vector<std::string> shownLanguages;
    std::size_t shownPreselection = 0;
    LanguageDialogTexts shownTexts;
};

}  // namespace kaviro::ui::testing
