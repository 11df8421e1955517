#pragma once
// The translation files of a translated setup, made from the project's
// per-language translation sources (see docs/builder.md):
//
//   title + ".mtx"           key of each line: statement id, control Name or
//                            "CODEGEAR$" + variable + "$CODEGEAR"
//   "translations.Map"       owner of each line: the dialog file name for a
//                            dialog text, the script file name otherwise
//   "translations.Original"  the text as written in the project
//   "translations." + lang   the text in that language (the original where
//                            the language's source has no entry)
//   "shared.translations." + lang   the language's engine message file, carried as it is
//
// The four line-parallel files always have the same line count. A statement
// owns one line per text its command translates, in the order the command
// asks for them, all keyed by its id. Errors raise BuildError naming the
// translation source and line.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/builder/project_settings.h"
#include "tools/builder/script_source.h"
#include "tools/builder/seven_zip_writer.h"

namespace kaviro::builder {

// A translation source or message file, already read.
struct LanguageSource {
    std::string language;
    std::string sourceName;  // for messages
    std::vector<uint8_t> content;
};

struct TranslationInputs {
    const ProjectSettings& settings;
    const std::vector<SourceStatement>& statements;
    std::string scriptFileName;  // without folder: the owner of statement lines
    // The compiled dialogs (NAME.dfm) as they go into the support resource.
    const std::vector<ArchiveEntry>& dialogs;
    std::vector<LanguageSource> translations;  // in [translations] order
    std::vector<LanguageSource> messages;      // in [shared translations] order
};

// The statement's parameter numbers in the order the command asks for its
// translatable texts (position k - 1 holds the parameter of text k; -p marks a
// line that carries parameter p untranslated, as the conditions' parameter 2
// between their translated parameters 1 and 3). Empty for a command that
// translates nothing.
struct TranslatedParameters {
    std::vector<int> lines;
};
[[nodiscard]] TranslatedParameters TranslatedParametersOf(std::string_view command);

// No entries when the project has no [translations].
[[nodiscard]] std::vector<ArchiveEntry> BuildTranslationFiles(const TranslationInputs& inputs);

}  // namespace kaviro::builder
