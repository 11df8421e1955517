#include "engine/package_reader.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/engine_error.h"

namespace kaviro {
namespace {

// Walks the package text line by line without copying it.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}

    bool AtEnd() const { return position_ >= text_.size(); }

    // The next line without its line end; a line ends at CRLF, LF or a lone CR.
    std::string_view Next() {
        const std::size_t start = position_;
        std::size_t end = start;
        while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
        position_ = end;
        if (position_ < text_.size()) {
            const bool carriageReturn = text_[position_] == '\r';
            ++position_;
            if (carriageReturn && position_ < text_.size() && text_[position_] == '\n') ++position_;
        }
        ++lineNumber_;
        return text_.substr(start, end - start);
    }

    int LineNumber() const { return lineNumber_; }

private:
    std::string_view text_;
    std::size_t position_ = 0;
    int lineNumber_ = 0;
};

[[noreturn]] void ThrowTruncated(const PackageField& field) {
    throw EngineError("The setup package is damaged: it ends inside section " + std::to_string(field.section) +
                      " (" + field.name + ")");
}

void ReadField(LineCursor& cursor, Script& script, const PackageField& field) {
    struct Reader {
        LineCursor& cursor;
        Script& script;
        const PackageField& field;

        std::string_view Line() {
            if (cursor.AtEnd()) ThrowTruncated(field);
            return cursor.Next();
        }
        void operator()(TextList Script::*member) {
            TextList& list = script.*member;
            for (;;) {
                const std::string_view line = Line();
                if (line == kListEnd) return;
                list.emplace_back(line);
            }
        }
        void operator()(std::string Script::*member) { script.*member = std::string(Line()); }
        void operator()(int32_t Script::*member) {
            // A decimal number with leading blanks; the rest of the line is ignored.
            const std::string_view line = Line();
            std::size_t i = 0;
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
            std::size_t end = i;
            if (end < line.size() && (line[end] == '-' || line[end] == '+')) ++end;
            while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
            const auto value = ParseInt32(line.substr(i, end - i));
            if (!value) {
                throw EngineError("The setup package is damaged: line " + std::to_string(cursor.LineNumber()) +
                                  " (" + field.name + ") is not a number: \"" + std::string(line) + "\"");
            }
            script.*member = *value;
        }
        void operator()(bool Script::*member) { script.*member = Line() == "TRUE"; }
    };
    std::visit(Reader{cursor, script, field}, field.member);
}

// A parameter line that is exactly "$" travels as a marker; turn it back.
void RestoreDollarLines(TextList& parameters) {
    for (auto& line : parameters) {
        if (EqualsIgnoreCase(line, kWildDollarMarker)) line = "$";
    }
    for (auto& line : parameters) {
        if (EqualsIgnoreCase(line, kDollarMarker)) line = "$";
    }
}

}  // namespace

Script ParsePackage(std::string_view text) {
    Script script;
    LineCursor cursor(text);
    for (const PackageField& field : PackageLayout()) {
        ReadField(cursor, script, field);
        if (field.member == PackageFieldMember{&Script::parameters}) RestoreDollarLines(script.parameters);
    }
    script.RebuildParameterIndex();
    return script;
}

Script LoadPackage(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw EngineError("Cannot open the setup package \"" + path + "\"");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) throw EngineError("Cannot read the setup package \"" + path + "\"");
    return ParsePackage(text);
}

}  // namespace kaviro
