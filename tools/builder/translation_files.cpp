#include "tools/builder/translation_files.h"

#include <algorithm>
#include <map>
#include <optional>

#include "engine/text_util.h"
#include "tools/builder/build_error.h"
#include "tools/builder/identifiers.h"
#include "tools/builder/source_lines.h"
#include "tools/builder/text_dialog_compiler.h"

namespace kaviro::builder {
namespace {

constexpr std::string_view kKeyFileExtension = ".mtx";
constexpr std::string_view kMapFile = "translations.Map";
constexpr std::string_view kOriginalFile = "translations.Original";
constexpr std::string_view kTextFilePrefix = "translations.";
constexpr std::string_view kMessageFilePrefix = "shared.translations.";
constexpr std::string_view kVariableKeyOpening = "CODEGEAR$";
constexpr std::string_view kVariableKeyClosing = "$CODEGEAR";
constexpr std::size_t kMessageBlockLines = 115;

struct CommandTexts {
    std::string_view command;
    std::vector<int> lines;
};

// The commands that translate parameters, with the parameters in the order
// each asks for them.
const std::vector<CommandTexts>& CommandTable() {
    static const std::vector<CommandTexts> table = {
        {"If", {1, -2, 3}},
        {"Else If", {1, -2, 3}},
        {"Set Variable", {2}},
        {"MessageBox", {1, 2}},
        {"MessageBalloon", {1, 2}},
        {"Define Component", {1, 3}},
        {"Delete Component", {1}},
        {"Get Component State", {1}},
        {"Set Component State", {1}},
        {"Get Component Space", {1}},
        {"Set Component Space", {1}},
        {"Set Component Choice", {1}},
        {"Set Component Visibility", {1}},
        {"Control Service", {1}},
        {"Install Service", {4, 5, 6, 9, 10}},
        {"Create Share", {2, 3}},
        {"Delete Share", {1}},
        {"Set Access Control", {1, 6}},
        {"Schedule Task", {1}},
        {"Delete Scheduled Task", {1}},
        {"Create Shortcut", {2, 4}},
        {"Advertised Shortcut", {2, 4}},
        {"Create File Type", {1, 3}},
        {"Advertised File Type", {1, 3}},
    };
    return table;
}

// A parameter as the engine reads it back from the package.
std::string PackageParameterText(const SourceStatement& statement, int number) {
    if (number < 1 || static_cast<std::size_t>(number) > statement.parameters.size())
        return {};
    const std::string& text = statement.parameters[static_cast<std::size_t>(number) - 1];
    if (text == "$DOLLAR$" || text == "$WILD_DOLLAR$")
        return "$";
    return text;
}

// The variable name of a "Localization Variable" name parameter (NAME or $NAME$).
std::string_view VariableName(std::string_view parameter) {
    if (parameter.size() >= 2 && parameter.front() == '$' && parameter.back() == '$')
        return parameter.substr(1, parameter.size() - 2);
    return parameter;
}

// One translated text of a language's source.
struct Entry {
    std::string text;
    std::size_t line = 0;
};

// What one language's source says, keyed so that the lines can be laid out
// in a fixed order whatever the order of the source.
struct LanguageEntries {
    std::map<std::pair<std::size_t, int>, Entry> statements;  // (statement index, parameter number)
    std::map<std::size_t, Entry> variables;                   // first defining statement's index
    std::map<std::pair<std::string, std::string>, Entry>
        dialogTexts;  // (dialog identity, control) lower case
};

struct DialogText {
    std::string identity;  // NAME.dfm as carried
    std::string control;   // as the translation source spells it at its first use
    std::string original;
};

class SourceReader {
  public:
    SourceReader(const TranslationInputs& inputs, const std::string& sourceName,
                 std::map<std::pair<std::string, std::string>, DialogText>& dialogTexts)
        : inputs_(inputs), sourceName_(sourceName), dialogTexts_(dialogTexts) {}

    LanguageEntries Read(std::string_view text) {
        const std::vector<std::string> lines = SplitSourceLines(text, sourceName_);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            line_ = i + 1;
            Line(lines[i]);
        }
        return std::move(entries_);
    }

  private:
    enum class Kind { None, Dialog, Statement, Variables };

    BuildError Error(const std::string& message) const { return ErrorAt(sourceName_, line_, message); }

    void Line(std::string_view line) {
        const std::string_view content = TrimBlanks(line);
        if (content.empty() || content.front() == '#' || content.front() == ';')
            return;
        if (content.front() == '[')
            return Section(content);
        const std::size_t equals = content.find('=');
        if (equals == std::string_view::npos)
            throw Error("expected key = text or a [section] header");
        const std::string key(TrimBlanks(content.substr(0, equals)));
        Entry entry{std::string(TrimBlanks(content.substr(equals + 1))), line_};
        if (key.empty())
            throw Error("the entry has no key before '='");
        switch (kind_) {
            case Kind::None:
                throw Error("entry before any [dialog NAME], [statement NAME] or [variables] header");
            case Kind::Dialog:
                return DialogEntry(key, std::move(entry));
            case Kind::Statement:
                return StatementEntry(key, std::move(entry));
            case Kind::Variables:
                return VariableEntry(key, std::move(entry));
        }
    }

    void Section(std::string_view content) {
        if (!content.ends_with(']'))
            throw Error("unterminated section header (no closing ']')");
        const std::string_view inside = TrimBlanks(content.substr(1, content.size() - 2));
        const std::size_t blank = inside.find_first_of(" \t");
        const std::string kind = LowerCase(inside.substr(0, blank));
        const std::string name(blank == std::string_view::npos ? "" : TrimBlanks(inside.substr(blank)));
        if (kind == "variables" && name.empty()) {
            kind_ = Kind::Variables;
        } else if (kind == "dialog" && !name.empty()) {
            kind_ = Kind::Dialog;
            SelectDialog(name);
        } else if (kind == "statement" && !name.empty()) {
            kind_ = Kind::Statement;
            SelectStatement(name);
        } else {
            throw Error("unknown section [" + std::string(inside) +
                        "] (known: [dialog NAME], [statement NAME or {ID}], [variables])");
        }
    }

    void SelectDialog(const std::string& name) {
        const std::string identity = EndsWithIgnoreCase(name, ".dfm") ? name : name + ".dfm";
        for (const ArchiveEntry& dialog : inputs_.dialogs) {
            if (EqualsIgnoreCase(dialog.name, identity)) {
                dialog_ = &dialog;
                return;
            }
        }
        throw Error("the project has no dialog " + name);
    }

    void SelectStatement(const std::string& name) {
        const std::optional<std::string> guid = NormalizeGuid(name);
        for (std::size_t index = 0; index < inputs_.statements.size(); ++index) {
            const SourceStatement& statement = inputs_.statements[index];
            const bool matches =
                guid
                    ? *guid == (statement.id.empty() ? DerivedStatementId(inputs_.settings.productCode, index)
                                                     : statement.id)
                    : EqualsIgnoreCase(statement.label, name);
            if (matches) {
                statement_ = index;
                return;
            }
        }
        throw Error(guid ? "the script has no statement with id " + *guid
                         : "the script has no statement with @name " + name);
    }

    void DialogEntry(const std::string& control, Entry entry) {
        const std::optional<std::string> original = DialogControlText(dialog_->data, control, dialog_->name);
        if (!original)
            throw Error("dialog " + dialog_->name + " has no control named " + control);
        const auto key = std::make_pair(LowerCase(dialog_->name), LowerCase(control));
        if (!entries_.dialogTexts.emplace(key, std::move(entry)).second)
            throw Error("control " + control + " of " + dialog_->name + " is translated twice");
        dialogTexts_.try_emplace(key, DialogText{dialog_->name, control, *original});
    }

    void StatementEntry(const std::string& key, Entry entry) {
        const SourceStatement& statement = inputs_.statements[statement_];
        const std::optional<int32_t> number = ParseInt32(key);
        if (!number || *number < 1 || key.find_first_not_of("0123456789") != std::string::npos)
            throw Error("expected a parameter number such as 1 before '=', not \"" + key + "\"");
        const std::vector<int>& lines = TranslatedParametersOf(statement.name).lines;
        if (std::find(lines.begin(), lines.end(), *number) == lines.end()) {
            std::string known;
            for (const int line : lines) {
                if (line > 0)
                    known += (known.empty() ? "" : ", ") + std::to_string(line);
            }
            throw Error("\"" + statement.name + "\" does not translate parameter " + key +
                        (known.empty() ? " (it translates none)" : " (it translates " + known + ")"));
        }
        if (!entries_.statements.emplace(std::make_pair(statement_, *number), std::move(entry)).second)
            throw Error("parameter " + key + " of this statement is translated twice");
    }

    void VariableEntry(const std::string& key, Entry entry) {
        const std::string_view name = VariableName(key);
        for (std::size_t index = 0; index < inputs_.statements.size(); ++index) {
            const SourceStatement& statement = inputs_.statements[index];
            if (statement.name == "Localization Variable" && !statement.parameters.empty() &&
                EqualsIgnoreCase(VariableName(statement.parameters[0]), name)) {
                if (!entries_.variables.emplace(index, std::move(entry)).second)
                    throw Error("variable " + std::string(name) + " is translated twice");
                return;
            }
        }
        throw Error("the script has no \"Localization Variable\" statement for " + std::string(name));
    }

    const TranslationInputs& inputs_;
    const std::string& sourceName_;
    std::map<std::pair<std::string, std::string>, DialogText>& dialogTexts_;
    std::size_t line_ = 0;
    Kind kind_ = Kind::None;
    const ArchiveEntry* dialog_ = nullptr;
    std::size_t statement_ = 0;
    LanguageEntries entries_;
};

// One line of the line-parallel files, before the languages are filled in.
struct Line {
    std::string key;
    std::string owner;
    std::string original;
};

std::vector<uint8_t> JoinLines(const std::vector<std::string>& lines) {
    const std::string text = JoinLinesCrlf(lines);
    return {text.begin(), text.end()};
}

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name.back() == '.' || name.back() == ' ')
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 32 ||
               std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
    });
}

}  // namespace

TranslatedParameters TranslatedParametersOf(std::string_view command) {
    for (const CommandTexts& entry : CommandTable()) {
        if (entry.command == command)
            return {entry.lines};
    }
    return {};
}

std::vector<ArchiveEntry> BuildTranslationFiles(const TranslationInputs& inputs) {
    if (inputs.translations.empty())
        return {};
    if (!IsPlainFileName(inputs.settings.title + std::string(kKeyFileExtension))) {
        throw ErrorAt("project.ini", inputs.settings.settingsLine,
                      "a translated setup needs a title that can be a file name (the key file is title + "
                      "\".mtx\")");
    }

    std::map<std::pair<std::string, std::string>, DialogText> dialogTexts;
    std::vector<LanguageEntries> languages;
    for (const LanguageSource& source : inputs.translations) {
        SourceReader reader(inputs, source.sourceName, dialogTexts);
        languages.push_back(reader.Read(
            std::string_view(reinterpret_cast<const char*>(source.content.data()), source.content.size())));
    }

    // The lines in a fixed order: statements in script order (variables with
    // their first defining statement), then dialog texts by dialog and control.
    std::vector<Line> lines;
    std::vector<std::vector<const Entry*>> texts(languages.size());
    for (std::size_t index = 0; index < inputs.statements.size(); ++index) {
        const SourceStatement& statement = inputs.statements[index];
        const std::string id =
            statement.id.empty() ? DerivedStatementId(inputs.settings.productCode, index) : statement.id;
        bool used = false;
        for (const LanguageEntries& language : languages) {
            used = used || language.variables.contains(index) ||
                   std::any_of(language.statements.begin(), language.statements.end(),
                               [&](const auto& pair) { return pair.first.first == index; });
        }
        if (!used)
            continue;
        if (statement.name == "Localization Variable") {
            const std::string name(VariableName(statement.parameters[0]));
            lines.push_back({std::string(kVariableKeyOpening) + name + std::string(kVariableKeyClosing),
                             inputs.scriptFileName, PackageParameterText(statement, 2)});
            for (std::size_t l = 0; l < languages.size(); ++l) {
                const auto found = languages[l].variables.find(index);
                texts[l].push_back(found == languages[l].variables.end() ? nullptr : &found->second);
            }
            continue;
        }
        for (const int parameter : TranslatedParametersOf(statement.name).lines) {
            const int number = parameter < 0 ? -parameter : parameter;
            lines.push_back({id, inputs.scriptFileName, PackageParameterText(statement, number)});
            for (std::size_t l = 0; l < languages.size(); ++l) {
                const auto found = languages[l].statements.find({index, parameter});
                texts[l].push_back(found == languages[l].statements.end() ? nullptr : &found->second);
            }
        }
    }
    for (const auto& [key, dialogText] : dialogTexts) {
        lines.push_back({dialogText.control, dialogText.identity, dialogText.original});
        for (std::size_t l = 0; l < languages.size(); ++l) {
            const auto found = languages[l].dialogTexts.find(key);
            texts[l].push_back(found == languages[l].dialogTexts.end() ? nullptr : &found->second);
        }
    }

    std::vector<std::string> keys;
    std::vector<std::string> owners;
    std::vector<std::string> originals;
    for (const Line& line : lines) {
        keys.push_back(line.key);
        owners.push_back(line.owner);
        originals.push_back(line.original);
    }
    std::vector<ArchiveEntry> entries;
    entries.push_back({inputs.settings.title + std::string(kKeyFileExtension), false, JoinLines(keys)});
    entries.push_back({std::string(kMapFile), false, JoinLines(owners)});
    entries.push_back({std::string(kOriginalFile), false, JoinLines(originals)});
    bool defaultLanguageTranslated = false;
    for (std::size_t l = 0; l < languages.size(); ++l) {
        std::vector<std::string> languageLines;
        for (std::size_t i = 0; i < lines.size(); ++i)
            languageLines.push_back(texts[l][i] != nullptr ? texts[l][i]->text : lines[i].original);
        const std::string& language = inputs.translations[l].language;
        defaultLanguageTranslated =
            defaultLanguageTranslated || EqualsIgnoreCase(language, inputs.settings.defaultLanguage);
        entries.push_back({std::string(kTextFilePrefix) + language, false, JoinLines(languageLines)});
    }
    // The default language is always offered: its texts are the originals
    // unless the project translates it too.
    if (!defaultLanguageTranslated) {
        entries.push_back(
            {std::string(kTextFilePrefix) + inputs.settings.defaultLanguage, false, JoinLines(originals)});
    }

    for (const LanguageSource& messages : inputs.messages) {
        const std::size_t count =
            SplitLines(std::string_view(reinterpret_cast<const char*>(messages.content.data()),
                                        messages.content.size()))
                .size();
        if (count < kMessageBlockLines) {
            throw BuildError(messages.sourceName + ": a message file starts with a block of " +
                             std::to_string(kMessageBlockLines) + " lines, but this one has only " +
                             std::to_string(count));
        }
        entries.push_back({std::string(kMessageFilePrefix) + messages.language, false, messages.content});
    }
    return entries;
}

}  // namespace kaviro::builder
