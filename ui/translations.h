#pragma once
// The translations of a translated setup: four line-parallel files in the
// support folder, line i of each describing the same translatable text.
//
//   title + ".mtx"           the key of text i: a control Name, a statement id,
//                            or "CODEGEAR$" + variable + "$CODEGEAR"
//   "translations.Map"       the owner of text i (for dialog texts the dialog file name)
//   "translations.Original"  text i as written in the setup project
//   "translations." + lang   text i in that language
//
// "shared.translations." + lang, when present, is a message file with the
// engine's own texts in that language. The lists are loaded when LANGUAGE
// changes to a new non-empty value and stay until the next such change.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/package_format.h"
#include "engine/package_lookup.h"
#include "engine/text_util.h"
#include "ui/localization_services.h"

namespace kaviro::ui {

inline constexpr std::string_view kTranslationsPrefix = "translations.";
inline constexpr std::string_view kTranslationMapFile = "translations.Map";
inline constexpr std::string_view kTranslationOriginalFile = "translations.Original";
inline constexpr std::string_view kSharedTranslationsPrefix = "shared.translations.";
inline constexpr std::string_view kTranslationKeyExtension = ".mtx";
inline constexpr std::string_view kLocalizationModeReference = "#LOCMODE#";
inline constexpr std::string_view kNewOnlyMode = "NEWONLY";
inline constexpr std::string_view kVariablesOnlyMode = "VARSONLY";
inline constexpr std::string_view kVariableKeyOpening = "CODEGEAR$";
inline constexpr std::string_view kVariableKeyClosing = "$CODEGEAR";

// Folder + file name, with a separator between them when the folder lacks one.
std::string SupportFilePath(std::string_view folder, std::string_view fileName);

class Translations {
  public:
    // The script gives the product title (the key file's name) and the build
    // settings (LOCMODE and the references in translated texts); both must
    // outlive this object, as must the engine texts.
    Translations(const Script& script, std::string supportFolder, EngineTexts& engineTexts,
                 TraceSink buildSettingTrace = {});

    // Current language empty and nothing loaded yet.
    void Reset();
    void SetCurrentLanguage(std::string language) { currentLanguage_ = std::move(language); }
    [[nodiscard]] const std::string& CurrentLanguage() const { return currentLanguage_; }
    // Callers translate only while a language is active.
    [[nodiscard]] bool IsLanguageActive() const { return !currentLanguage_.empty(); }
    [[nodiscard]] const std::optional<std::string>& LastLoadedLanguage() const { return lastLoaded_; }

    [[nodiscard]] const std::string& SupportFolder() const { return supportFolder_; }
    // Title + ".mtx" in the support folder; its presence makes a setup translated.
    [[nodiscard]] std::string KeyFilePath() const;

    // Before every statement, with the value of LANGUAGE: it becomes the
    // current language; a non-empty value other than the last loaded one
    // loads the four lists and, when present, the shared message file.
    // A missing file, or files whose line counts differ, raise EngineError
    // and leave the language and the lists as they were.
    void ReloadTranslations(std::string_view languageValue);

    // The translation of a dialog control: the first line whose owner is the
    // dialog identity and whose key is the control Name (case ignored).
    [[nodiscard]] std::optional<std::string> FindDialogText(std::string_view dialogIdentity,
                                                            std::string_view controlName) const;
    // The same, or the control's base text when no language is active or no line matches.
    [[nodiscard]] std::string TranslateDialogText(std::string_view dialogIdentity,
                                                  std::string_view controlName,
                                                  std::string_view baseText) const;

    // Translatable text number k (from 1) of the statement or localization
    // variable keyed K, following LOCMODE; T unchanged when no language is
    // active, so every command can call it without testing first. The caller
    // expands variable references afterwards.
    [[nodiscard]] std::string TranslateParameter(std::string_view text, std::string_view key, int k) const;

    [[nodiscard]] std::size_t LineCount() const { return keys_.size(); }

  private:
    struct PairHash {
        std::size_t operator()(const std::pair<std::string, std::string>& pair) const noexcept;
    };
    struct PairEqual {
        bool operator()(const std::pair<std::string, std::string>& a,
                        const std::pair<std::string, std::string>& b) const noexcept;
    };

    const Script& script_;
    std::string supportFolder_;
    EngineTexts& engineTexts_;
    TraceSink buildSettingTrace_;

    std::string currentLanguage_;
    std::optional<std::string> lastLoaded_;  // empty: nothing loaded (never a language name)
    mutable std::optional<std::string> localizationMode_;  // LOCMODE, read at the first translation
    std::vector<std::string> keys_;
    std::vector<std::string> owners_;
    std::vector<std::string> originals_;
    std::vector<std::string> texts_;
    // First line of each key, and of each (owner, key) pair, case ignored.
    std::unordered_map<std::string, std::size_t, CaseInsensitiveHash, CaseInsensitiveEqual> firstLineOfKey_;
    std::unordered_map<std::pair<std::string, std::string>, std::size_t, PairHash, PairEqual>
        firstLineOfControl_;
};

}  // namespace kaviro::ui
