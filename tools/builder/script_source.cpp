#include "tools/builder/script_source.h"

#include "engine/text_util.h"
#include "tools/builder/build_error.h"
#include "tools/builder/identifiers.h"
#include "tools/builder/source_lines.h"

namespace kaviro::builder {
namespace {

class ScriptSourceReader {
  public:
    explicit ScriptSourceReader(const std::string& sourceName) : sourceName_(sourceName) {}

    void Line(std::size_t index, std::string_view line) {
        index_ = index;
        const std::string_view content = TrimBlanks(line);
        if (content.empty() || content.front() == '#')
            return;
        if (content.front() == '|')
            return Parameter(line.substr(line.find('|') + 1));
        if (content.front() == '@')
            return Attribute(content.substr(1));
        if (line.front() == ' ' || line.front() == '\t') {
            throw Error(
                "indented text is neither a parameter (|), an attribute (@) nor a comment (#); "
                "statement names start at column 0");
        }
        SourceStatement statement;
        statement.name = std::string(TrimBlanks(line));
        statement.line = index;
        statements_.push_back(std::move(statement));
    }

    std::vector<SourceStatement> Take() { return std::move(statements_); }

  private:
    BuildError Error(const std::string& message) const { return ErrorAt(sourceName_, index_ + 1, message); }

    SourceStatement& Current(const char* what) {
        if (statements_.empty())
            throw Error(std::string(what) + " before any statement");
        return statements_.back();
    }

    void Parameter(std::string_view value) {
        SourceStatement& statement = Current("parameter line");
        if (value.starts_with(' '))
            value.remove_prefix(1);
        statement.parameters.emplace_back(value);
    }

    void Attribute(std::string_view text) {
        const std::size_t nameEnd = text.find_first_of(" \t");
        const std::string_view name = text.substr(0, nameEnd);
        const std::string_view value =
            nameEnd == std::string_view::npos ? "" : TrimBlanks(text.substr(nameEnd));
        SourceStatement& statement = Current("attribute line");
        if (name == "disabled") {
            if (!value.empty())
                throw Error("@disabled takes no value");
            if (statement.disabled)
                throw Error("@disabled given twice");
            statement.disabled = true;
        } else if (name == "media") {
            if (value.empty())
                throw Error("@media needs a folder name such as OFFLINE\\");
            if (!value.ends_with('\\'))
                throw Error("the @media folder must end with a backslash (OFFLINE\\)");
            if (!statement.mediaFolder.empty())
                throw Error("@media given twice");
            statement.mediaFolder = std::string(value);
        } else if (name == "id") {
            if (value.starts_with('{') && value.find('}') == std::string_view::npos) {
                throw Error("unterminated GUID in @id (no closing brace)");
            }
            const auto guid = NormalizeGuid(value);
            if (!guid)
                throw Error("@id needs a brace-enclosed GUID such as {74193E47-71B5-4352-8E34-BB4E49ECFA76}");
            if (!statement.id.empty())
                throw Error("@id given twice");
            statement.id = *guid;
        } else if (name == "name") {
            // A label that translation files use to name the statement; never part of the package.
            if (value.empty() || value.find_first_of(" \t") != std::string_view::npos)
                throw Error("@name needs one word such as welcome-box");
            if (!statement.label.empty())
                throw Error("@name given twice");
            for (const SourceStatement& other : statements_) {
                if (&other != &statement && EqualsIgnoreCase(other.label, value))
                    throw Error("@name " + std::string(value) + " is already used by the statement in line " +
                                std::to_string(other.line + 1));
            }
            statement.label = std::string(value);
        } else {
            throw Error("unknown attribute @" + std::string(name) +
                        " (known: @disabled, @media, @id, @name)");
        }
    }

    const std::string& sourceName_;
    std::size_t index_ = 0;
    std::vector<SourceStatement> statements_;
};

}  // namespace

std::vector<SourceStatement> ParseScriptSource(std::string_view text, const std::string& sourceName) {
    const std::vector<std::string> lines = SplitSourceLines(text, sourceName);
    ScriptSourceReader reader(sourceName);
    for (std::size_t i = 0; i < lines.size(); ++i) reader.Line(i, lines[i]);
    return reader.Take();
}

}  // namespace kaviro::builder
