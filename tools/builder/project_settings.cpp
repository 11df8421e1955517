#include "tools/builder/project_settings.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "engine/text_util.h"
#include "tools/builder/build_error.h"
#include "tools/builder/identifiers.h"
#include "tools/builder/source_lines.h"
#include "ui/language_table.h"

namespace kaviro::builder {
namespace {

enum class Section {
    None,
    Setup,
    BuildSettings,
    Components,
    MediaPasswords,
    Translations,
    SharedTranslations
};

// Characters Windows does not allow in a file name.
bool IsValidBaseName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ')
        return false;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

class SettingsReader {
  public:
    explicit SettingsReader(const std::string& sourceName) : sourceName_(sourceName) {}

    void Line(std::size_t lineNumber, std::string_view line) {
        lineNumber_ = lineNumber;
        const std::string_view content = TrimBlanks(line);
        if (content.empty() || content.front() == '#' || content.front() == ';')
            return;
        if (content.front() == '[')
            return SectionHeader(content);
        const std::size_t equals = content.find('=');
        if (equals == std::string_view::npos)
            throw Error("expected key = value or a [section] header");
        const std::string key(TrimBlanks(content.substr(0, equals)));
        const std::string value(TrimBlanks(content.substr(equals + 1)));
        if (key.empty())
            throw Error("the entry has no key before '='");
        switch (section_) {
            case Section::None:
                throw Error("entry before any [section] header");
            case Section::Setup:
                return SetupEntry(key, value);
            case Section::BuildSettings:
                return ListEntry(settings_.buildSettings, key, value);
            case Section::Components:
                return ComponentEntry(key, value);
            case Section::MediaPasswords:
                return ListEntry(settings_.mediaPasswords, key, value);
            case Section::Translations:
                return LanguageEntry(settings_.translations, key, value);
            case Section::SharedTranslations:
                return LanguageEntry(settings_.sharedTranslations, key, value);
        }
    }

    ProjectSettings Finish() {
        if (!seenSections_.contains(Section::Setup))
            throw ErrorAt(sourceName_, 1, "the file has no [setup] section");
        for (const char* required : {"product code", "title", "version", "output name", "script"}) {
            if (!seenKeys_.contains(required)) {
                throw ErrorAt(sourceName_, settings_.settingsLine,
                              std::string("[setup] lacks the required key \"") + required + "\"");
            }
        }
        if (!settings_.translations.empty() && !ui::FindLanguageId(settings_.defaultLanguage)) {
            throw ErrorAt(sourceName_, settings_.settingsLine,
                          "\"default language\" " + settings_.defaultLanguage +
                              " is not a language the engine knows, so a translated setup cannot use it");
        }
        for (const LanguageFile& shared : settings_.sharedTranslations) {
            const bool translated = EqualsIgnoreCase(shared.language, settings_.defaultLanguage) ||
                                    std::any_of(settings_.translations.begin(), settings_.translations.end(),
                                                [&](const LanguageFile& file) {
                                                    return EqualsIgnoreCase(file.language, shared.language);
                                                });
            if (!translated) {
                throw ErrorAt(sourceName_, shared.line,
                              "[shared translations] names " + shared.language +
                                  ", which is neither in [translations] nor the default language");
            }
        }
        if (settings_.msiFile.empty() == settings_.wxsFile.empty()) {
            throw ErrorAt(sourceName_, settings_.settingsLine,
                          "[setup] needs exactly one of \"msi file\" (a ready installer database) and "
                          "\"wxs file\" (WiX source compiled with wixl)");
        }
        return std::move(settings_);
    }

  private:
    BuildError Error(const std::string& message) const { return ErrorAt(sourceName_, lineNumber_, message); }

    void SectionHeader(std::string_view content) {
        if (!content.ends_with(']'))
            throw Error("unterminated section header (no closing ']')");
        const std::string name = LowerCase(TrimBlanks(content.substr(1, content.size() - 2)));
        static const std::map<std::string, Section> kSections = {
            {"setup", Section::Setup},
            {"build settings", Section::BuildSettings},
            {"components", Section::Components},
            {"media passwords", Section::MediaPasswords},
            {"translations", Section::Translations},
            {"shared translations", Section::SharedTranslations}};
        const auto found = kSections.find(name);
        if (found == kSections.end()) {
            throw Error("unknown section [" + name +
                        "] (known: [setup], [build settings], [components], "
                        "[media passwords], [translations], [shared translations])");
        }
        if (!seenSections_.insert(found->second).second)
            throw Error("section [" + name + "] given twice");
        section_ = found->second;
        if (section_ == Section::Setup)
            settings_.settingsLine = lineNumber_;
    }

    void ListEntry(std::vector<std::pair<std::string, std::string>>& list, const std::string& key,
                   const std::string& value) {
        for (const auto& [existing, unused] : list) {
            if (EqualsIgnoreCase(existing, key))
                throw Error("key \"" + key + "\" given twice in its section");
        }
        list.emplace_back(key, value);
    }

    void LanguageEntry(std::vector<LanguageFile>& list, const std::string& language,
                       const std::string& file) {
        if (!ui::FindLanguageId(language)) {
            throw Error("\"" + language +
                        "\" is not a language the engine knows (German, French, Spanish, ... as in the "
                        "engine's language table)");
        }
        for (const LanguageFile& existing : list) {
            if (EqualsIgnoreCase(existing.language, language))
                throw Error("language " + language + " given twice in its section");
        }
        list.push_back({language, Path("translation file", file), lineNumber_});
    }

    void ComponentEntry(const std::string& key, const std::string& value) {
        const std::string name = UpperCase(key);
        for (const auto& component : settings_.components) {
            if (component.name == name)
                throw Error("component \"" + key + "\" given twice");
        }
        if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos ||
            value.size() > 19) {
            throw Error("the size of component \"" + key + "\" must be a decimal number of bytes");
        }
        settings_.components.push_back({name, std::stoull(value)});
    }

    int32_t Integer(const std::string& key, const std::string& value) const {
        const auto number = ParseInt32(value);
        if (!number)
            throw Error("\"" + key + "\" must be a decimal integer, not \"" + value + "\"");
        return *number;
    }

    void SetupEntry(const std::string& rawKey, const std::string& value) {
        const std::string key = LowerCase(rawKey);
        using Setter = std::function<void(const std::string&)>;
        const std::map<std::string, Setter> setters = {
            {"product code",
             [&](const std::string& v) {
                 const auto guid = NormalizeGuid(v);
                 if (!guid)
                     throw Error("\"product code\" must be a brace-enclosed GUID");
                 settings_.productCode = *guid;
             }},
            {"title", [&](const std::string& v) { settings_.title = v; }},
            {"company", [&](const std::string& v) { settings_.company = v; }},
            {"contact", [&](const std::string& v) { settings_.contact = v; }},
            {"help link", [&](const std::string& v) { settings_.helpLink = v; }},
            {"update link", [&](const std::string& v) { settings_.updateLink = v; }},
            {"comments", [&](const std::string& v) { settings_.comments = v; }},
            {"version",
             [&](const std::string& v) {
                 if (v.empty())
                     throw Error("\"version\" must not be empty");
                 settings_.version = v;
             }},
            {"default language", [&](const std::string& v) { settings_.defaultLanguage = v; }},
            {"language prompt",
             [&](const std::string& v) {
                 if (!EqualsIgnoreCase(v, "TRUE") && !EqualsIgnoreCase(v, "FALSE")) {
                     throw Error("\"language prompt\" must be TRUE or FALSE");
                 }
                 settings_.languagePrompt = EqualsIgnoreCase(v, "TRUE");
             }},
            {"media layout",
             [&](const std::string& v) {
                 const int32_t code = Integer("media layout", v);
                 if (code < 1 || code > 3)
                     throw Error("\"media layout\" must be 1, 2 or 3");
                 settings_.mediaLayoutCode = code;
             }},
            {"code page",
             [&](const std::string& v) {
                 const int32_t codePage = Integer("code page", v);
                 if (codePage <= 0)
                     throw Error("\"code page\" must be a positive number such as 1252");
                 settings_.codePage = codePage;
             }},
            {"output name",
             [&](const std::string& v) {
                 if (!IsValidBaseName(v))
                     throw Error("\"output name\" must be a plain file name without folder");
                 settings_.outputName = v;
             }},
            {"script", [&](const std::string& v) { settings_.scriptFile = Path("script", v); }},
            {"support folder",
             [&](const std::string& v) { settings_.supportFolder = Path("support folder", v); }},
            {"dialogs folder",
             [&](const std::string& v) { settings_.dialogsFolder = Path("dialogs folder", v); }},
            {"msi file", [&](const std::string& v) { settings_.msiFile = Path("msi file", v); }},
            {"wxs file", [&](const std::string& v) { settings_.wxsFile = Path("wxs file", v); }},
        };
        const auto found = setters.find(key);
        if (found == setters.end())
            throw Error("unknown key \"" + rawKey + "\" in [setup]");
        if (!seenKeys_.insert(key).second)
            throw Error("key \"" + rawKey + "\" given twice");
        found->second(value);
    }

    std::string Path(const char* key, const std::string& value) const {
        if (value.empty())
            throw Error(std::string("\"") + key + "\" must name a file or folder");
        return value;
    }

    const std::string& sourceName_;
    std::size_t lineNumber_ = 0;
    Section section_ = Section::None;
    std::set<Section> seenSections_;
    std::set<std::string> seenKeys_;
    ProjectSettings settings_;
};

}  // namespace

ProjectSettings ParseProjectSettings(std::string_view text, const std::string& sourceName) {
    const std::vector<std::string> lines = SplitSourceLines(text, sourceName);
    SettingsReader reader(sourceName);
    for (std::size_t i = 0; i < lines.size(); ++i) reader.Line(i + 1, lines[i]);
    return reader.Finish();
}

}  // namespace kaviro::builder
