#include "ui/form_text_printer.h"

#include <cmath>

#include "ui/form_stream_reader.h"
#include "ui/form_value_conversion.h"

namespace kaviro::ui {

namespace {

constexpr std::size_t kStringPieceLength = 64;  // characters per line of a long string
constexpr std::size_t kBinaryLineLength = 64;   // hex digits per line of binary data

bool IsIdentifierStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// Identifier, optionally dotted when `dotted` is set.
bool IsIdentifier(std::string_view text, bool dotted) {
    bool atStart = true;
    for (char c : text) {
        if (atStart) {
            if (!IsIdentifierStart(c)) {
                return false;
            }
            atStart = false;
        } else if (c == '.' && dotted) {
            atStart = true;
        } else if (!IsIdentifierStart(c) && !(c >= '0' && c <= '9')) {
            return false;
        }
    }
    return !atStart;
}

const std::string& CheckedName(const std::string& name, bool dotted, const char* what) {
    if (!IsIdentifier(name, dotted)) {
        throw DialogFileError(std::string(what) + " '" + name + "' cannot be written as text");
    }
    return name;
}

class TextFormWriter {
  public:
    std::string out;

    void Object(const Component& component, int level) {
        Indent(level);
        if (component.filerFlags & kFilerInline) {
            out += "inline ";
        } else if (component.filerFlags & kFilerInherited) {
            out += "inherited ";
        } else {
            out += "object ";
        }
        if (!component.name.empty()) {
            out += CheckedName(component.name, false, "component name") + ": ";
        }
        out += CheckedName(component.className, false, "class name");
        if (component.childPosition) {
            out += " [" + std::to_string(*component.childPosition) + "]";
        }
        NewLine();
        for (const Property& property : component.properties) {
            PropertyLine(property, level + 1);
        }
        for (const Component& child : component.children) {
            Object(child, level + 1);
        }
        Indent(level);
        out += "end";
        NewLine();
    }

  private:
    void NewLine() { out += "\r\n"; }
    void Indent(int level) { out.append(static_cast<std::size_t>(level) * 2, ' '); }

    void PropertyLine(const Property& property, int level) {
        Indent(level);
        out += CheckedName(property.name, true, "property name") + " = ";
        Value(property.value, level);
        NewLine();
    }

    static std::string RealText(double number, const char* suffix, bool single = false) {
        if (std::isnan(number)) {
            return std::string("+NaN") + suffix;
        }
        if (std::isinf(number)) {
            return std::string(number < 0 ? "-Inf" : "+Inf") + suffix;
        }
        std::string text = single ? FormatSingle(static_cast<float>(number)) : FormatReal(number);
        if (*suffix == '\0' && text.find_first_of(".e") == std::string::npos) {
            text += ".0";  // keeps an extended value from reading back as an integer
        }
        return text + suffix;
    }

    void Value(const PropertyValue& value, int level) {
        switch (value.type) {
            case ValueType::Null:
                throw DialogFileError("end-of-list marker used as a value");
            case ValueType::Int8:
            case ValueType::Int16:
            case ValueType::Int32:
            case ValueType::Int64:
                out += std::to_string(value.integer);
                break;
            case ValueType::Currency:
                out += FormatCurrency(value.integer) + "c";
                break;
            case ValueType::Extended:
                out += RealText(DoubleFromExtended(value.extended), "");
                break;
            case ValueType::Single:
                out += RealText(value.real, "s", true);
                break;
            case ValueType::Double:
                out += RealText(value.real, "f");
                break;
            case ValueType::Date:
                out += RealText(value.real, "d");
                break;
            case ValueType::False:
                out += "False";
                break;
            case ValueType::True:
                out += "True";
                break;
            case ValueType::Nil:
                out += "nil";
                break;
            case ValueType::Ident:
                out += CheckedName(value.text, true, "identifier");
                break;
            case ValueType::String:
            case ValueType::LString:
                StringValue(ByteUnits(value.text, false), level);
                break;
            case ValueType::Utf8String:
                StringValue(ByteUnits(value.text, Utf16FromUtf8(value.text).has_value()), level);
                break;
            case ValueType::WString:
                StringValue(WideUnits(value.wide), level);
                break;
            case ValueType::Set:
                out += "[";
                for (std::size_t i = 0; i < value.setElements.size(); ++i) {
                    out += (i ? ", " : "") + CheckedName(value.setElements[i], false, "set element");
                }
                out += "]";
                break;
            case ValueType::List:
                out += "(";
                for (const PropertyValue& item : value.list) {
                    NewLine();
                    Indent(level + 1);
                    Value(item, level + 1);
                }
                out += ")";
                break;
            case ValueType::Binary:
                Binary(value.text, level);
                break;
            case ValueType::Collection:
                out += "<";
                for (const CollectionItem& item : value.items) {
                    NewLine();
                    Indent(level + 1);
                    out += "item";
                    if (item.order) {
                        out += " [" + std::to_string(*item.order) + "]";
                    }
                    NewLine();
                    for (const Property& property : item.properties) {
                        PropertyLine(property, level + 2);
                    }
                    Indent(level + 1);
                    out += "end";
                }
                out += ">";
                break;
        }
    }

    // A printable character stays literal; anything else becomes #n.
    struct Unit {
        bool literal;
        std::uint32_t value;
    };

    // Bytes of a short or long string; with rawHigh (valid UTF-8 text) the
    // bytes above 127 stay literal so that the string compiles to UTF-8 again.
    static std::vector<Unit> ByteUnits(std::string_view text, bool rawHigh) {
        std::vector<Unit> units;
        for (char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            units.push_back({(byte >= 32 && byte < 127) || (rawHigh && byte >= 128), byte});
        }
        return units;
    }

    static std::vector<Unit> WideUnits(std::u16string_view text) {
        std::vector<Unit> units;
        for (char16_t c : text) {
            units.push_back({c >= 32 && c < 127, c});
        }
        return units;
    }

    void StringValue(const std::vector<Unit>& units, int level) {
        if (units.empty()) {
            out += "''";
            return;
        }
        for (std::size_t start = 0; start < units.size(); start += kStringPieceLength) {
            if (start != 0) {
                out += " +";
                NewLine();
                Indent(level + 1);
            }
            bool inQuotes = false;
            const std::size_t end = std::min(units.size(), start + kStringPieceLength);
            for (std::size_t i = start; i < end; ++i) {
                const Unit& unit = units[i];
                if (unit.literal != inQuotes) {
                    out += '\'';
                    inQuotes = unit.literal;
                }
                if (unit.literal) {
                    out += static_cast<char>(unit.value);
                    if (unit.value == '\'') {
                        out += '\'';
                    }
                } else {
                    out += '#';
                    out += std::to_string(unit.value);
                }
            }
            if (inQuotes) {
                out += '\'';
            }
        }
    }

    void Binary(std::string_view data, int level) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        out += "{";
        for (std::size_t i = 0; i < data.size(); ++i) {
            if (i % (kBinaryLineLength / 2) == 0) {
                NewLine();
                Indent(level + 1);
            }
            const auto byte = static_cast<unsigned char>(data[i]);
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
        out += "}";
    }
};

}  // namespace

std::string PrintTextForm(const Component& root) {
    TextFormWriter writer;
    writer.Object(root, 0);
    return std::move(writer.out);
}

std::string PrintDialogFile(std::span<const std::uint8_t> bytes) {
    return PrintTextForm(ReadDialogFile(bytes).root);
}

}  // namespace kaviro::ui
