#include "ui/translations.h"

#include <fstream>
#include <iterator>

#include "engine/engine_error.h"

namespace kaviro::ui {
namespace {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The lines of a text file; raises the file error of a missing or unreadable file.
std::vector<std::string> ReadLinesOrThrow(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw EngineError("Cannot open file \"" + path + "\". The file cannot be found or read.");
    std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        throw EngineError("Cannot read file \"" + path + "\".");
    return SplitLines(content);
}

void RequireLineCount(const std::vector<std::string>& lines, std::size_t expected, const std::string& path,
                      const std::string& keyPath) {
    if (lines.size() == expected)
        return;
    throw EngineError("Translation file \"" + path + "\" has " + std::to_string(lines.size()) +
                      " lines, but \"" + keyPath + "\" has " + std::to_string(expected) + ".");
}

}  // namespace

std::string SupportFilePath(std::string_view folder, std::string_view fileName) {
    std::string path(folder);
    if (!path.empty() && path.back() != '\\' && path.back() != '/')
        path += kPathSeparator;
    path += fileName;
    return path;
}

std::size_t Translations::PairHash::operator()(
    const std::pair<std::string, std::string>& pair) const noexcept {
    const CaseInsensitiveHash hash;
    return hash(pair.first) * 31 + hash(pair.second);
}

bool Translations::PairEqual::operator()(const std::pair<std::string, std::string>& a,
                                         const std::pair<std::string, std::string>& b) const noexcept {
    return EqualsIgnoreCase(a.first, b.first) && EqualsIgnoreCase(a.second, b.second);
}

Translations::Translations(const Script& script, std::string supportFolder, EngineTexts& engineTexts,
                           TraceSink buildSettingTrace)
    : script_(script),
      supportFolder_(std::move(supportFolder)),
      engineTexts_(engineTexts),
      buildSettingTrace_(std::move(buildSettingTrace)) {}

void Translations::Reset() {
    currentLanguage_.clear();
    lastLoaded_.reset();
}

std::string Translations::KeyFilePath() const {
    return SupportFilePath(supportFolder_, script_.title + std::string(kTranslationKeyExtension));
}

void Translations::ReloadTranslations(std::string_view languageValue) {
    if (languageValue.empty()) {
        // Translation stops; the last loaded lists stay for a later switch back.
        currentLanguage_.clear();
        return;
    }
    if (lastLoaded_ && *lastLoaded_ == languageValue) {
        currentLanguage_ = std::string(languageValue);
        return;
    }
    const std::string language(languageValue);
    const std::string mapPath = SupportFilePath(supportFolder_, kTranslationMapFile);
    const std::string textPath = SupportFilePath(supportFolder_, std::string(kTranslationsPrefix) + language);
    const std::string originalPath = SupportFilePath(supportFolder_, kTranslationOriginalFile);
    const std::string keyPath = KeyFilePath();

    // Everything is read before anything is replaced, so a failure keeps the old state.
    std::vector<std::string> owners = ReadLinesOrThrow(mapPath);
    std::vector<std::string> texts = ReadLinesOrThrow(textPath);
    std::vector<std::string> originals = ReadLinesOrThrow(originalPath);
    std::vector<std::string> keys = ReadLinesOrThrow(keyPath);
    RequireLineCount(owners, keys.size(), mapPath, keyPath);
    RequireLineCount(texts, keys.size(), textPath, keyPath);
    RequireLineCount(originals, keys.size(), originalPath, keyPath);

    firstLineOfKey_.clear();
    firstLineOfControl_.clear();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        firstLineOfKey_.try_emplace(keys[i], i);
        firstLineOfControl_.try_emplace(std::make_pair(owners[i], keys[i]), i);
    }
    keys_ = std::move(keys);
    owners_ = std::move(owners);
    originals_ = std::move(originals);
    texts_ = std::move(texts);
    currentLanguage_ = language;
    lastLoaded_ = language;

    const std::string sharedPath =
        SupportFilePath(supportFolder_, std::string(kSharedTranslationsPrefix) + language);
    // Opened to test for it: narrow paths go to the ANSI file functions, like the engine's other paths.
    if (std::ifstream(sharedPath, std::ios::binary))
        engineTexts_.LoadMessageFile(sharedPath);
}

std::optional<std::string> Translations::FindDialogText(std::string_view dialogIdentity,
                                                        std::string_view controlName) const {
    const auto found =
        firstLineOfControl_.find(std::make_pair(std::string(dialogIdentity), std::string(controlName)));
    if (found == firstLineOfControl_.end())
        return std::nullopt;
    return texts_[found->second];
}

std::string Translations::TranslateDialogText(std::string_view dialogIdentity, std::string_view controlName,
                                              std::string_view baseText) const {
    if (!IsLanguageActive())
        return std::string(baseText);
    if (auto text = FindDialogText(dialogIdentity, controlName))
        return *std::move(text);
    return std::string(baseText);
}

std::string Translations::TranslateParameter(std::string_view text, std::string_view key, int k) const {
    if (!IsLanguageActive() || k < 1)
        return std::string(text);
    // The build settings are fixed for the run: the mode is looked up once.
    if (!localizationMode_)
        localizationMode_ = ExpandBuildSettings(script_, kLocalizationModeReference, buildSettingTrace_);
    const std::string& mode = *localizationMode_;
    if (EqualsIgnoreCase(mode, kVariablesOnlyMode) &&
        (key.find(kVariableKeyOpening) == std::string_view::npos ||
         key.find(kVariableKeyClosing) == std::string_view::npos)) {
        return std::string(text);
    }
    const auto found = firstLineOfKey_.find(std::string(key));
    if (found == firstLineOfKey_.end())
        return std::string(text);
    const std::size_t line = found->second + static_cast<std::size_t>(k - 1);
    // A statement asking for more texts than the files carry keeps its own.
    if (line >= texts_.size())
        return std::string(text);
    if (EqualsIgnoreCase(mode, kNewOnlyMode) && originals_[line] != text)
        return std::string(text);
    return ExpandBuildSettings(script_, texts_[line], buildSettingTrace_);
}

}  // namespace kaviro::ui
