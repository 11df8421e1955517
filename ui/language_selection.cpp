#include "ui/language_selection.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "engine/text_util.h"

namespace kaviro::ui {
namespace {

constexpr int kSelectLanguageCaptionLine = 89;
constexpr int kSelectLanguagePromptLine = 90;
constexpr int kOkLine = 38;
constexpr int kCancelLine = 39;

std::string_view FileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The language of a "translations." file: the text after the last ".".
std::string LanguageOfFile(std::string_view path) {
    const std::string_view name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(dot + 1));
}

const std::string* FindLanguage(const std::vector<std::string>& languages, std::string_view language) {
    for (const std::string& offered : languages) {
        if (EqualsIgnoreCase(offered, language))
            return &offered;
    }
    return nullptr;
}

}  // namespace

bool FileSystemLanguageFiles::Exists(const std::string& path) const {
    return static_cast<bool>(std::ifstream(path, std::ios::binary));
}

std::vector<std::string> FileSystemLanguageFiles::ListTranslationFiles(const std::string& folder) const {
    std::vector<std::string> names;
    std::error_code error;  // a folder that cannot be listed offers no languages
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code typeError;
        if (!entry->is_regular_file(typeError))
            continue;
        std::string name = entry->path().filename().string();
        if (StartsWithIgnoreCase(name, kTranslationsPrefix))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const std::string& name : names) paths.push_back(SupportFilePath(folder, name));
    return paths;
}

std::optional<std::string> FileSystemLanguageFiles::ReadFirstLine(const std::string& path) const {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string line;
    std::getline(file, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::size_t PreselectedLanguage(const std::vector<std::string>& languages, std::string_view defaultLanguage,
                                std::string_view userLanguage) {
    std::optional<std::size_t> defaultPosition;
    for (std::size_t i = 0; i < languages.size(); ++i) {
        if (!defaultPosition && EqualsIgnoreCase(languages[i], defaultLanguage))
            defaultPosition = i;
        if (EqualsIgnoreCase(languages[i], userLanguage))
            return i;
    }
    return defaultPosition.value_or(0);
}

LanguageSelectionOutcome SelectLanguage(Translations& translations, const LanguageSelectionInputs& inputs,
                                        const LanguageSelectionServices& services) {
    translations.Reset();
    services.variables.DefineVariable(kLanguageVariable, "", kInitializationContext);
    if (!services.files.Exists(translations.KeyFilePath()))
        return LanguageSelectionOutcome::Chosen;

    // The offered languages, without the map, the originals and the shared
    // message files. The "shared" test looks at the file name only: a support
    // folder whose path happens to contain the word must not lose its languages.
    std::vector<std::string> languages;
    const std::string defaultFile = std::string(kTranslationsPrefix) + inputs.defaultLanguage;
    std::string current;
    for (const std::string& path : services.files.ListTranslationFiles(translations.SupportFolder())) {
        const std::string_view name = FileNameOf(path);
        if (EqualsIgnoreCase(name, kTranslationMapFile) || EqualsIgnoreCase(name, kTranslationOriginalFile) ||
            name.find("shared") != std::string_view::npos) {
            continue;
        }
        if (EqualsIgnoreCase(name, defaultFile))
            current = inputs.defaultLanguage;
        languages.push_back(LanguageOfFile(path));
    }

    if (!languages.empty()) {
        const bool installedProduct = inputs.maintenance || inputs.patchFileExists;
        if (inputs.languagePrompt && !installedProduct) {
            const std::string userLanguage =
                services.engineTexts.LanguageNameOf(services.locale.UserDefaultLanguageId());
            std::size_t chosen = PreselectedLanguage(languages, inputs.defaultLanguage, userLanguage);
            if (!inputs.silent) {
                const LanguageDialogTexts texts{services.engineTexts.MessageText(kSelectLanguageCaptionLine),
                                                services.engineTexts.MessageText(kSelectLanguagePromptLine),
                                                services.engineTexts.MessageText(kOkLine),
                                                services.engineTexts.MessageText(kCancelLine)};
                const std::optional<std::size_t> answer = services.dialog.Choose(languages, chosen, texts);
                if (!answer)
                    return LanguageSelectionOutcome::Cancelled;
                if (*answer < languages.size())
                    chosen = *answer;
            }
            current = languages[chosen];
        }
        if (installedProduct && services.files.Exists(inputs.installedLanguageFile)) {
            // The installed product's language, as long as this setup still
            // offers it: a language without translation files would fail the
            // first statement of the run.
            if (const auto installed = services.files.ReadFirstLine(inputs.installedLanguageFile)) {
                if (const std::string* offered = FindLanguage(languages, *installed))
                    current = *offered;
            }
        }
    }

    translations.SetCurrentLanguage(current);
    services.variables.DefineVariable(kLanguageVariable, current, kInitializationContext);
    return LanguageSelectionOutcome::Chosen;
}

}  // namespace kaviro::ui
