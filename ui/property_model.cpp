#include "ui/property_model.h"

#include <charconv>
#include <limits>

#include "ui/form_value_conversion.h"
#include "ui/published_properties.h"
#include "ui/text_compare.h"

namespace kaviro::ui {

namespace {

bool IsIdentifierStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsIdentifierText(std::string_view text, bool dotted) {
    bool atStart = true;
    for (char c : text) {
        if (atStart ? !IsIdentifierStart(c)
                    : !(IsIdentifierStart(c) || (c >= '0' && c <= '9') || (dotted && c == '.'))) {
            return false;
        }
        atStart = dotted && c == '.';
    }
    return !atStart && text.size() <= 255;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const bool hex = !text.empty() && text.front() == '$';
    if (hex) {
        text.remove_prefix(1);
    }
    std::uint64_t magnitude = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), magnitude, hex ? 16 : 10);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    if (magnitude > limit) {
        return std::nullopt;
    }
    return negative ? static_cast<std::int64_t>(~magnitude + 1) : static_cast<std::int64_t>(magnitude);
}

std::optional<double> ParseReal(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double number = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

// "[a,b]" with optional blanks around the elements.
std::optional<std::vector<std::string>> ParseSet(std::string_view text) {
    text = TrimBlanks(text);
    if (text.size() < 2 || text.front() != '[' || text.back() != ']') {
        return std::nullopt;
    }
    text = TrimBlanks(text.substr(1, text.size() - 2));
    std::vector<std::string> elements;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view element = TrimBlanks(text.substr(0, comma));
        if (!IsIdentifierText(element, false)) {
            return std::nullopt;
        }
        elements.emplace_back(element);
        if (comma == std::string_view::npos) {
            break;
        }
        text = text.substr(comma + 1);
        if (TrimBlanks(text).empty()) {
            return std::nullopt;  // a trailing comma
        }
    }
    return elements;
}

PropertyValue SmallestInteger(std::int64_t number) {
    PropertyValue value;
    value.integer = number;
    value.type = (number >= -128 && number <= 127)       ? ValueType::Int8
                 : (number >= -32768 && number <= 32767) ? ValueType::Int16
                 : (number >= std::numeric_limits<std::int32_t>::min() &&
                    number <= std::numeric_limits<std::int32_t>::max())
                     ? ValueType::Int32
                     : ValueType::Int64;
    return value;
}

PropertyValue AnsiString(std::string_view text) {
    PropertyValue value;
    value.type = text.size() > 255 ? ValueType::LString : ValueType::String;
    value.text = text;
    return value;
}

Property* FindStoredProperty(Component& component, std::string_view name) {
    for (Property& property : component.properties) {
        if (SameName(property.name, name)) {
            return &property;
        }
    }
    return nullptr;
}

}  // namespace

std::string PropertyValueText(const PropertyValue& value) {
    switch (value.type) {
        case ValueType::True:
            return "True";
        case ValueType::False:
            return "False";
        case ValueType::Int8:
        case ValueType::Int16:
        case ValueType::Int32:
        case ValueType::Int64:
            return std::to_string(value.integer);
        case ValueType::Currency:
            return FormatCurrency(value.integer);
        case ValueType::Extended:
            return FormatReal(DoubleFromExtended(value.extended));
        case ValueType::Single:
            return FormatSingle(static_cast<float>(value.real));
        case ValueType::Double:
        case ValueType::Date:
            return FormatReal(value.real);
        case ValueType::Ident:
        case ValueType::String:
        case ValueType::LString:
            return value.text;
        case ValueType::Utf8String:
            return AnsiFromUtf8(value.text);
        case ValueType::WString:
            return AnsiFromUtf16(value.wide);
        case ValueType::Set: {
            std::string text = "[";
            for (std::size_t i = 0; i < value.setElements.size(); ++i) {
                text += (i ? "," : "") + value.setElements[i];
            }
            return text + "]";
        }
        case ValueType::List: {
            std::string text;
            for (std::size_t i = 0; i < value.list.size(); ++i) {
                text += (i ? "\r\n" : "") + PropertyValueText(value.list[i]);
            }
            return text;
        }
        case ValueType::Null:
        case ValueType::Nil:
        case ValueType::Binary:
        case ValueType::Collection:
            return std::string();
    }
    return std::string();
}

std::optional<PropertyValue> PropertyValueFromText(std::string_view text, const PropertyValue& current) {
    PropertyValue value;
    switch (current.type) {
        case ValueType::True:
        case ValueType::False:
            if (SameName(TrimBlanks(text), "True")) {
                value.type = ValueType::True;
            } else if (SameName(TrimBlanks(text), "False")) {
                value.type = ValueType::False;
            } else {
                return std::nullopt;
            }
            return value;
        case ValueType::Int8:
        case ValueType::Int16:
        case ValueType::Int32:
        case ValueType::Int64: {
            const std::optional<std::int64_t> number = ParseInteger(text);
            if (!number ||
                (current.type != ValueType::Int64 && (*number < std::numeric_limits<std::int32_t>::min() ||
                                                      *number > std::numeric_limits<std::int32_t>::max()))) {
                return std::nullopt;
            }
            return SmallestInteger(*number);
        }
        case ValueType::Currency: {
            const std::optional<std::int64_t> scaled = ParseCurrency(TrimBlanks(text));
            if (!scaled) {
                return std::nullopt;
            }
            value.type = ValueType::Currency;
            value.integer = *scaled;
            return value;
        }
        case ValueType::Extended:
        case ValueType::Single:
        case ValueType::Double:
        case ValueType::Date: {
            const std::optional<double> number = ParseReal(text);
            if (!number) {
                return std::nullopt;
            }
            value.type = current.type;
            if (current.type == ValueType::Single) {
                float single = 0;
                const std::string_view digits = TrimBlanks(text);
                const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), single);
                if (result.ec != std::errc() || result.ptr != digits.data() + digits.size()) {
                    return std::nullopt;
                }
                value.real = single;
            } else if (current.type == ValueType::Extended) {
                value.extended = ExtendedFromDouble(*number);
            } else {
                value.real = *number;
            }
            return value;
        }
        case ValueType::Ident: {
            const std::string_view name = TrimBlanks(text);
            if (!IsIdentifierText(name, true)) {
                return std::nullopt;
            }
            value.type = ValueType::Ident;
            value.text = name;
            return value;
        }
        case ValueType::Set: {
            std::optional<std::vector<std::string>> elements = ParseSet(text);
            if (!elements) {
                return std::nullopt;
            }
            value.type = ValueType::Set;
            value.setElements = std::move(*elements);
            return value;
        }
        case ValueType::String:
        case ValueType::LString:
        case ValueType::Utf8String:
        case ValueType::WString:
            return AnsiString(text);
        case ValueType::List: {
            // One string item per line, as a string list takes a text.
            value.type = ValueType::List;
            std::size_t start = 0;
            while (start < text.size()) {
                std::size_t end = text.find_first_of("\r\n", start);
                if (end == std::string_view::npos) {
                    end = text.size();
                }
                value.list.push_back(AnsiString(text.substr(start, end - start)));
                start = end;
                if (start < text.size() && text[start] == '\r') {
                    ++start;
                }
                if (start < text.size() && text[start] == '\n') {
                    ++start;
                }
            }
            return value;
        }
        case ValueType::Nil:
            if (!TrimBlanks(text).empty()) {
                return std::nullopt;
            }
            value.type = ValueType::Nil;
            return value;
        case ValueType::Null:
        case ValueType::Binary:
        case ValueType::Collection:
            return std::nullopt;
    }
    return std::nullopt;
}

Component* FindComponent(Component& root, std::string_view name) {
    for (Component& child : root.children) {
        if (SameName(child.name, name)) {
            return &child;
        }
        if (Component* found = FindComponent(child, name)) {
            return found;
        }
    }
    return nullptr;
}

std::optional<std::string> ComponentTreePropertyModel::ReadProperty(std::string_view component,
                                                                    std::string_view property) const {
    Component* found = FindComponent(*root_, component);
    if (found == nullptr) {
        return std::nullopt;
    }
    if (SameName(property, "Name")) {
        return found->name;
    }
    if (const Property* stored = FindStoredProperty(*found, property)) {
        return PropertyValueText(stored->value);
    }
    if (const std::optional<PropertyValue> fallback = PublishedPropertyDefault(found->className, property)) {
        return PropertyValueText(*fallback);
    }
    return std::nullopt;
}

bool ComponentTreePropertyModel::WriteProperty(std::string_view component, std::string_view property,
                                               std::string_view text) {
    Component* found = FindComponent(*root_, component);
    if (found == nullptr || SameName(property, "Name")) {
        return false;  // renaming a component is not a property change the rules can make
    }
    if (Property* stored = FindStoredProperty(*found, property)) {
        std::optional<PropertyValue> value = PropertyValueFromText(text, stored->value);
        if (!value) {
            return false;
        }
        stored->value = std::move(*value);
        return true;
    }
    const std::optional<PropertyValue> fallback = PublishedPropertyDefault(found->className, property);
    if (!fallback) {
        return false;
    }
    std::optional<PropertyValue> value = PropertyValueFromText(text, *fallback);
    if (!value) {
        return false;
    }
    found->properties.push_back(Property{std::string(property), std::move(*value)});
    return true;
}

}  // namespace kaviro::ui
