#pragma once
// Reader of a setup project's settings file (project.ini). See
// docs/builder.md. Grammar, one item per line:
//
//   section    := blanks? "[" name "]" blanks?
//   entry      := blanks? key blanks? "=" value      key and value without surrounding blanks
//   comment    := blanks? ("#" | ";") anything
//   blank line := blanks?
//
// Sections: [setup] (fixed keys, case ignored), [build settings],
// [components] and [media passwords] (keys of the author's choice, order
// kept), [translations] and [shared translations] (language names of the
// engine's language table, each with a file). Errors raise BuildError naming the file and the 1-based line.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kaviro::builder {

struct ComponentSize {
    std::string name;
    uint64_t size = 0;
};

// A per-language file of [translations] or [shared translations].
struct LanguageFile {
    std::string language;  // a name of the engine's language table, as the author spelled it
    std::string file;      // relative to the project folder
    std::size_t line = 0;  // 1-based line of the entry in project.ini
};

struct ProjectSettings {
    std::string productCode;  // upper case
    std::string title;
    std::string company;
    std::string contact;
    std::string helpLink;
    std::string updateLink;
    std::string comments;
    std::string version;
    std::string defaultLanguage = "English";
    bool languagePrompt = false;
    int32_t mediaLayoutCode = 1;
    int32_t codePage = 1252;
    std::string outputName;     // base name of the setup files
    std::string scriptFile;     // relative to the project folder
    std::string supportFolder;  // relative; empty = none
    std::string dialogsFolder;  // relative; empty = none
    std::string msiFile;        // relative; exactly one of msiFile and wxsFile
    std::string wxsFile;
    std::vector<std::pair<std::string, std::string>> buildSettings;
    std::vector<ComponentSize> components;
    std::vector<std::pair<std::string, std::string>> mediaPasswords;
    std::vector<LanguageFile> translations;        // language = translation source
    std::vector<LanguageFile> sharedTranslations;  // language = engine message file
    std::size_t settingsLine = 0;  // 1-based line of [setup], for errors about missing keys
};

[[nodiscard]] ProjectSettings ParseProjectSettings(std::string_view text, const std::string& sourceName);

}  // namespace kaviro::builder
