#include "ui/form_text_compiler.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "ui/form_stream_reader.h"
#include "ui/form_stream_writer.h"
#include "ui/form_value_conversion.h"
#include "ui/registered_classes.h"
#include "ui/text_compare.h"

namespace kaviro::ui {

namespace {

enum class TokenKind { End, Identifier, Number, String, Symbol };

// One piece of a string token: a byte written inside quotes, or a character
// code written as #n.
struct StringUnit {
    bool isCode = false;
    std::uint32_t value = 0;
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;  // identifier, number text, or the symbol character
    std::vector<StringUnit> units;
    int line = 1;
};

bool IsIdentifierStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentifierPart(char c) {
    return IsIdentifierStart(c) || (c >= '0' && c <= '9');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
int HexValue(char c) {
    return IsDigit(c) ? c - '0' : (c >= 'a' ? c - 'a' + 10 : c - 'A' + 10);
}

std::string Describe(const Token& token) {
    switch (token.kind) {
        case TokenKind::End:
            return "end of text";
        case TokenKind::String:
            return "string";
        default:
            return "'" + token.text + "'";
    }
}

class Tokenizer {
  public:
    Tokenizer(std::string_view text, std::string_view sourceName) : text_(text), sourceName_(sourceName) {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") {
            position_ = 3;
        }
    }

    [[noreturn]] void Fail(int line, const std::string& message) const {
        throw DialogFileError(std::string(sourceName_) + "(" + std::to_string(line) + "): " + message);
    }

    Token Next() {
        SkipBlanks();
        Token token;
        token.line = line_;
        if (position_ >= text_.size()) {
            return token;
        }
        const char c = text_[position_];
        if (IsIdentifierStart(c)) {
            token.kind = TokenKind::Identifier;
            ReadIdentifier(token.text);
            while (position_ + 1 < text_.size() && text_[position_] == '.' &&
                   IsIdentifierStart(text_[position_ + 1])) {
                token.text.push_back('.');
                ++position_;
                ReadIdentifier(token.text);
            }
        } else if (IsDigit(c) || c == '$') {
            token.kind = TokenKind::Number;
            ReadNumber(token.text);
        } else if (c == '\'' || c == '#') {
            token.kind = TokenKind::String;
            ReadString(token.units);
        } else {
            token.kind = TokenKind::Symbol;
            token.text.assign(1, c);
            ++position_;
        }
        return token;
    }

    // The raw hex digits of a binary value up to (not including) "}".
    std::string ReadHexDigits(int line) {
        std::string digits;
        for (;;) {
            SkipBlanks();
            if (position_ >= text_.size()) {
                Fail(line, "'}' expected but end of text found");
            }
            const char c = text_[position_];
            if (c == '}') {
                return digits;
            }
            if (!IsHexDigit(c)) {
                Fail(line_, std::string("invalid character '") + c + "' in binary value");
            }
            digits.push_back(c);
            ++position_;
        }
    }

  private:
    void SkipBlanks() {
        while (position_ < text_.size()) {
            const char c = text_[position_];
            if (c == '\n') {
                ++line_;
                ++position_;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++position_;
            } else if (c == '/' && position_ + 1 < text_.size() && text_[position_ + 1] == '/') {
                while (position_ < text_.size() && text_[position_] != '\n') {
                    ++position_;
                }
            } else {
                return;
            }
        }
    }

    void ReadIdentifier(std::string& out) {
        while (position_ < text_.size() && IsIdentifierPart(text_[position_])) {
            out.push_back(text_[position_++]);
        }
    }

    // digits ["." digits] [("e"|"E") [sign] digits] [suffix], or "$" hex digits.
    void ReadNumber(std::string& out) {
        auto take = [&](auto predicate) {
            while (position_ < text_.size() && predicate(text_[position_])) {
                out.push_back(text_[position_++]);
            }
        };
        if (text_[position_] == '$') {
            out.push_back(text_[position_++]);
            take(IsHexDigit);
            return;
        }
        take(IsDigit);
        if (position_ + 1 < text_.size() && text_[position_] == '.' && IsDigit(text_[position_ + 1])) {
            out.push_back(text_[position_++]);
            take(IsDigit);
        }
        if (position_ < text_.size() && (text_[position_] == 'e' || text_[position_] == 'E')) {
            std::size_t look = position_ + 1;
            if (look < text_.size() && (text_[look] == '+' || text_[look] == '-')) {
                ++look;
            }
            if (look < text_.size() && IsDigit(text_[look])) {
                while (position_ < look) {
                    out.push_back(text_[position_++]);
                }
                take(IsDigit);
            }
        }
        if (position_ < text_.size()) {
            const char suffix = text_[position_];
            if (suffix == 's' || suffix == 'S' || suffix == 'f' || suffix == 'F' || suffix == 'c' ||
                suffix == 'C' || suffix == 'd' || suffix == 'D') {
                out.push_back(text_[position_++]);
            }
        }
        if (position_ < text_.size() && IsIdentifierPart(text_[position_])) {
            Fail(line_, "malformed number '" + out + text_[position_] + "'");
        }
    }

    void ReadString(std::vector<StringUnit>& units) {
        while (position_ < text_.size()) {
            const char c = text_[position_];
            if (c == '\'') {
                ++position_;
                for (;;) {
                    if (position_ >= text_.size() || text_[position_] == '\n' || text_[position_] == '\r') {
                        Fail(line_, "unterminated string");
                    }
                    const char inner = text_[position_++];
                    if (inner == '\'') {
                        if (position_ < text_.size() && text_[position_] == '\'') {
                            ++position_;
                        } else {
                            break;
                        }
                    }
                    units.push_back({false, static_cast<unsigned char>(inner)});
                }
            } else if (c == '#') {
                ++position_;
                std::uint32_t code = 0;
                bool hex = position_ < text_.size() && text_[position_] == '$';
                if (hex) {
                    ++position_;
                }
                const std::size_t start = position_;
                while (position_ < text_.size() &&
                       (hex ? IsHexDigit(text_[position_]) : IsDigit(text_[position_]))) {
                    code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(HexValue(text_[position_]));
                    if (code > 0xFFFF) {
                        Fail(line_, "character code above 65535");
                    }
                    ++position_;
                }
                if (position_ == start) {
                    Fail(line_, "character code expected after '#'");
                }
                units.push_back({true, code});
            } else {
                return;
            }
        }
    }

    std::string_view text_;
    std::string_view sourceName_;
    std::size_t position_ = 0;
    int line_ = 1;
};

class TextFormParser {
  public:
    TextFormParser(std::string_view text, std::string_view sourceName) : tokens_(text, sourceName) {
        Advance();
    }

    Component ParseRoot() {
        Component root = ParseObject(true, 1);
        if (current_.kind != TokenKind::End) {
            Fail("end of text expected but " + Describe(current_) + " found");
        }
        return root;
    }

  private:
    [[noreturn]] void Fail(const std::string& message) const { tokens_.Fail(current_.line, message); }

    void Advance() { current_ = tokens_.Next(); }

    bool IsSymbol(char symbol) const {
        return current_.kind == TokenKind::Symbol && current_.text.size() == 1 && current_.text[0] == symbol;
    }

    bool IsKeyword(std::string_view word) const {
        return current_.kind == TokenKind::Identifier && SameName(current_.text, word);
    }

    void ExpectSymbol(char symbol) {
        if (!IsSymbol(symbol)) {
            Fail(std::string("'") + symbol + "' expected but " + Describe(current_) + " found");
        }
        Advance();
    }

    std::string ExpectIdentifier(const char* what) {
        if (current_.kind != TokenKind::Identifier) {
            Fail(std::string(what) + " expected but " + Describe(current_) + " found");
        }
        std::string text = current_.text;
        Advance();
        return text;
    }

    void EnterLevel(int depth) {
        if (depth > kMaxFormNesting) {
            Fail("nesting deeper than " + std::to_string(kMaxFormNesting) + " levels");
        }
        if (++items_ > kMaxFormItems) {
            Fail("more than " + std::to_string(kMaxFormItems) + " items in one form");
        }
    }

    bool AtObjectStart() const {
        return IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline");
    }

    Component ParseObject(bool isRoot, int depth) {
        EnterLevel(depth);
        Component component;
        if (IsKeyword("inherited")) {
            component.filerFlags |= kFilerInherited;
        } else if (IsKeyword("inline")) {
            component.filerFlags |= kFilerInline;
        } else if (!IsKeyword("object")) {
            Fail("'object' expected but " + Describe(current_) + " found");
        }
        Advance();
        const int classLine = current_.line;
        std::string first = ExpectIdentifier("component name or class name");
        if (IsSymbol(':')) {
            Advance();
            component.name = std::move(first);
            component.className = ExpectIdentifier("class name");
        } else {
            component.className = std::move(first);
        }
        if (component.className.find('.') != std::string::npos ||
            component.name.find('.') != std::string::npos) {
            tokens_.Fail(classLine, "a component or class name cannot contain '.'");
        }
        if (!isRoot && !IsRegisteredClass(component.className)) {
            tokens_.Fail(classLine, "Class " + component.className + " not found");
        }
        if (IsSymbol('[')) {
            Advance();
            component.filerFlags |= kFilerChildPosition;
            component.childPosition = ParseSmallInteger(component.positionType, "child position");
            ExpectSymbol(']');
        }
        while (current_.kind == TokenKind::Identifier && !AtObjectStart() && !IsKeyword("end")) {
            component.properties.push_back(ParseProperty(depth + 1));
        }
        while (AtObjectStart()) {
            component.children.push_back(ParseObject(false, depth + 1));
        }
        if (!IsKeyword("end")) {
            Fail("'end' expected but " + Describe(current_) + " found");
        }
        Advance();
        return component;
    }

    Property ParseProperty(int depth) {
        Property property;
        property.name = ExpectIdentifier("property name");
        if (property.name.size() > 255) {
            Fail("property name longer than 255 characters");
        }
        ExpectSymbol('=');
        property.value = ParseValue(depth);
        return property;
    }

    // An integer (optionally negative) that must fit 32 bits; stored in the
    // smallest type.
    std::int64_t ParseSmallInteger(ValueType& type, const char* what) {
        const PropertyValue value = ParseValue(kMaxFormNesting);
        if (value.type != ValueType::Int8 && value.type != ValueType::Int16 &&
            value.type != ValueType::Int32) {
            Fail(std::string(what) + " must be a 32-bit integer");
        }
        type = value.type;
        return value.integer;
    }

    PropertyValue ParseValue(int depth) {
        EnterLevel(depth);
        PropertyValue value;
        if (IsSymbol('-') || IsSymbol('+')) {
            const bool negative = IsSymbol('-');
            Advance();
            if (current_.kind == TokenKind::Number) {
                return ParseNumber(negative);
            }
            if (current_.kind == TokenKind::Identifier) {
                if (auto special = SpecialReal(current_.text, negative)) {
                    Advance();
                    return *special;
                }
            }
            Fail("number expected after sign but " + Describe(current_) + " found");
        }
        switch (current_.kind) {
            case TokenKind::Number:
                return ParseNumber(false);
            case TokenKind::String:
                return ParseString();
            case TokenKind::Identifier:
                if (SameName(current_.text, "True")) {
                    value.type = ValueType::True;
                } else if (SameName(current_.text, "False")) {
                    value.type = ValueType::False;
                } else if (SameName(current_.text, "nil")) {
                    value.type = ValueType::Nil;
                } else {
                    if (current_.text.size() > 255) {
                        Fail("identifier longer than 255 characters");
                    }
                    value.type = ValueType::Ident;
                    value.text = current_.text;
                }
                Advance();
                return value;
            case TokenKind::Symbol:
                break;
            case TokenKind::End:
                Fail("value expected but end of text found");
        }
        if (IsSymbol('[')) {
            Advance();
            value.type = ValueType::Set;
            if (!IsSymbol(']')) {
                for (;;) {
                    std::string element = ExpectIdentifier("set element");
                    if (element.size() > 255 || element.find('.') != std::string::npos) {
                        Fail("invalid set element '" + element + "'");
                    }
                    EnterLevel(depth);
                    value.setElements.push_back(std::move(element));
                    if (!IsSymbol(',')) {
                        break;
                    }
                    Advance();
                }
            }
            ExpectSymbol(']');
        } else if (IsSymbol('(')) {
            Advance();
            value.type = ValueType::List;
            while (!IsSymbol(')')) {
                value.list.push_back(ParseValue(depth + 1));
            }
            Advance();
        } else if (IsSymbol('{')) {
            const std::string digits = tokens_.ReadHexDigits(current_.line);
            if (digits.size() % 2 != 0) {
                Fail("binary value with an odd number of hex digits");
            }
            value.type = ValueType::Binary;
            for (std::size_t i = 0; i < digits.size(); i += 2) {
                value.text.push_back(static_cast<char>(HexValue(digits[i]) * 16 + HexValue(digits[i + 1])));
            }
            Advance();  // reads the "}" that ReadHexDigits stopped at
            ExpectSymbol('}');
        } else if (IsSymbol('<')) {
            Advance();
            value.type = ValueType::Collection;
            while (IsKeyword("item")) {
                value.items.push_back(ParseCollectionItem(depth + 1));
            }
            ExpectSymbol('>');
        } else {
            Fail("value expected but " + Describe(current_) + " found");
        }
        return value;
    }

    CollectionItem ParseCollectionItem(int depth) {
        EnterLevel(depth + 1);
        CollectionItem item;
        Advance();  // "item"
        if (IsSymbol('[')) {
            Advance();
            item.order = ParseSmallInteger(item.orderType, "item order");
            ExpectSymbol(']');
        }
        while (current_.kind == TokenKind::Identifier && !IsKeyword("end")) {
            item.properties.push_back(ParseProperty(depth + 1));
        }
        if (!IsKeyword("end")) {
            Fail("'end' expected but " + Describe(current_) + " found");
        }
        Advance();
        return item;
    }

    // "Inf" and "NaN" with an optional float suffix, written after a sign.
    static std::optional<PropertyValue> SpecialReal(std::string_view word, bool negative) {
        double number;
        if (word.substr(0, 3) == "Inf") {
            number =
                negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        } else if (word.substr(0, 3) == "NaN") {
            number = std::numeric_limits<double>::quiet_NaN();
        } else {
            return std::nullopt;
        }
        PropertyValue value;
        const std::string_view suffix = word.substr(3);
        if (suffix.empty()) {
            value.type = ValueType::Extended;
            value.extended = ExtendedFromDouble(number);
        } else if (suffix == "s") {
            value.type = ValueType::Single;
        } else if (suffix == "f") {
            value.type = ValueType::Double;
        } else if (suffix == "d") {
            value.type = ValueType::Date;
        } else {
            return std::nullopt;
        }
        value.real = number;
        return value;
    }

    PropertyValue ParseNumber(bool negative) {
        std::string text = current_.text;
        PropertyValue value;
        if (text[0] == '$') {
            const std::string_view digits = std::string_view(text).substr(1);
            std::uint64_t magnitude = 0;
            if (digits.empty() || digits.size() > 16) {
                Fail("malformed hex number '" + text + "'");
            }
            for (char c : digits) {
                magnitude = magnitude * 16 + static_cast<std::uint64_t>(HexValue(c));
            }
            if (magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                Fail("number '" + text + "' out of range");
            }
            value = IntegerValue(negative ? -static_cast<std::int64_t>(magnitude)
                                          : static_cast<std::int64_t>(magnitude));
            Advance();
            return value;
        }
        const char last = text.back();
        const char suffix = IsDigit(last) ? '\0' : static_cast<char>(last | 0x20);
        if (suffix != '\0') {
            text.pop_back();
        }
        if (negative) {
            text.insert(0, 1, '-');
        }
        const bool isReal = suffix != '\0' || text.find_first_of(".eE") != std::string::npos;
        if (!isReal) {
            std::int64_t number = 0;
            const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
            if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
                Fail("number '" + text + "' out of range");
            }
            value = IntegerValue(number);
            Advance();
            return value;
        }
        if (suffix == 'c') {
            const std::optional<std::int64_t> scaled = ParseCurrency(text);
            if (!scaled) {
                Fail("malformed currency '" + text + "' (at most 4 decimals, no exponent)");
            }
            value.type = ValueType::Currency;
            value.integer = *scaled;
            Advance();
            return value;
        }
        double number = 0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
            Fail("number '" + text + "' out of range");
        }
        switch (suffix) {
            case 's': {
                // Read as float directly: the shortest text of a single names exactly that single.
                float single = 0;
                const auto singleResult = std::from_chars(text.data(), text.data() + text.size(), single);
                if (singleResult.ec != std::errc()) {
                    Fail("number '" + text + "' out of range for a single");
                }
                value.type = ValueType::Single;
                value.real = single;
                break;
            }
            case 'f':
                value.type = ValueType::Double;
                value.real = number;
                break;
            case 'd':
                value.type = ValueType::Date;
                value.real = number;
                break;
            default:
                value.type = ValueType::Extended;
                value.extended = ExtendedFromDouble(number);
                break;
        }
        Advance();
        return value;
    }

    static PropertyValue IntegerValue(std::int64_t number) {
        PropertyValue value;
        value.integer = number;
        if (number >= -128 && number <= 127) {
            value.type = ValueType::Int8;
        } else if (number >= -32768 && number <= 32767) {
            value.type = ValueType::Int16;
        } else if (number >= std::numeric_limits<std::int32_t>::min() &&
                   number <= std::numeric_limits<std::int32_t>::max()) {
            value.type = ValueType::Int32;
        } else {
            value.type = ValueType::Int64;
        }
        return value;
    }

    // String pieces joined by "+". The kind follows the content: any #n above
    // 255 makes a wide string, raw bytes above 127 (UTF-8 text) a UTF-8
    // string, anything else a short string, or a long one past 255 bytes.
    PropertyValue ParseString() {
        const int line = current_.line;
        std::vector<StringUnit> units = current_.units;
        Advance();
        while (IsSymbol('+')) {
            Advance();
            if (current_.kind != TokenKind::String) {
                Fail("string expected after '+' but " + Describe(current_) + " found");
            }
            units.insert(units.end(), current_.units.begin(), current_.units.end());
            Advance();
        }
        bool wide = false;
        bool utf8 = false;
        for (const StringUnit& unit : units) {
            wide = wide || (unit.isCode && unit.value > 255);
            utf8 = utf8 || (!unit.isCode && unit.value > 127);
        }
        PropertyValue value;
        if (wide || utf8) {
            // Raw bytes are UTF-8 text; #n codes are UTF-16 code units.
            std::u16string text;
            std::string pendingBytes;
            auto flush = [&] {
                const std::optional<std::u16string> decoded = Utf16FromUtf8(pendingBytes);
                if (!decoded) {
                    tokens_.Fail(line, "string holds malformed UTF-8");
                }
                text += *decoded;
                pendingBytes.clear();
            };
            for (const StringUnit& unit : units) {
                if (unit.isCode) {
                    flush();
                    text.push_back(static_cast<char16_t>(unit.value));
                } else {
                    pendingBytes.push_back(static_cast<char>(unit.value));
                }
            }
            flush();
            if (wide) {
                value.type = ValueType::WString;
                value.wide = std::move(text);
            } else {
                value.type = ValueType::Utf8String;
                value.text = Utf8FromUtf16(text);
            }
            return value;
        }
        for (const StringUnit& unit : units) {
            value.text.push_back(static_cast<char>(unit.value));
        }
        value.type = value.text.size() > 255 ? ValueType::LString : ValueType::String;
        return value;
    }

    Tokenizer tokens_;
    Token current_;
    std::size_t items_ = 0;  // components, values and collection items so far
};

}  // namespace

Component ParseTextForm(std::string_view text, std::string_view sourceName) {
    return TextFormParser(text, sourceName).ParseRoot();
}

std::vector<std::uint8_t> CompileTextForm(std::string_view text, std::string_view sourceName) {
    DialogFile file;
    file.root = ParseTextForm(text, sourceName);
    file.resourceName = UpperCaseAscii(file.root.className);
    file.memoryFlags = 0x1030;
    try {
        return WriteDialogFile(file);
    } catch (const DialogFileError& error) {
        throw DialogFileError(std::string(sourceName) + ": " + error.what());
    }
}

}  // namespace kaviro::ui
