#include "ui/form_stream_writer.h"

#include <cstring>
#include <string>

namespace kaviro::ui {

namespace {

class FormStreamBuilder {
  public:
    std::vector<std::uint8_t> bytes;

    void Byte(std::uint8_t value) { bytes.push_back(value); }

    void Unsigned(std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }

    void Raw(std::string_view text) {
        // resize and copy rather than a range insert, which GCC 12 misreads as an overflow
        const std::size_t old = bytes.size();
        bytes.resize(old + text.size());
        if (!text.empty()) {
            std::memcpy(bytes.data() + old, text.data(), text.size());
        }
    }

    void ShortString(std::string_view text, const char* what) {
        if (text.size() > 255) {
            throw DialogFileError(std::string(what) +
                                  " longer than 255 bytes: " + std::string(text.substr(0, 40)) + "...");
        }
        Byte(static_cast<std::uint8_t>(text.size()));
        Raw(text);
    }

    void Length(std::size_t length) {
        if (length > 0xFFFFFFFFu) {
            throw DialogFileError("value longer than 4 GB");
        }
        Unsigned(length, 4);
    }

    void SmallInteger(std::int64_t value, ValueType type, const char* what) {
        switch (type) {
            case ValueType::Int8:
                CheckRange(value, -128, 127, what);
                break;
            case ValueType::Int16:
                CheckRange(value, -32768, 32767, what);
                break;
            case ValueType::Int32:
                CheckRange(value, INT32_MIN, INT32_MAX, what);
                break;
            default:
                throw DialogFileError(std::string(what) + " must be an 8, 16 or 32-bit integer");
        }
        Integer(value, type);
    }

    void Integer(std::int64_t value, ValueType type) {
        Byte(static_cast<std::uint8_t>(type));
        const int size = type == ValueType::Int8    ? 1
                         : type == ValueType::Int16 ? 2
                         : type == ValueType::Int32 ? 4
                                                    : 8;
        Unsigned(static_cast<std::uint64_t>(value), size);
    }

    static void CheckRange(std::int64_t value, std::int64_t low, std::int64_t high, const char* what) {
        if (value < low || value > high) {
            throw DialogFileError(std::string(what) + " " + std::to_string(value) + " does not fit its type");
        }
    }

    void Properties(const std::vector<Property>& properties) {
        for (const Property& property : properties) {
            if (property.name.empty()) {
                throw DialogFileError("empty property name");
            }
            ShortString(property.name, "property name");
            Value(property.value);
        }
        Byte(0);
    }

    void Value(const PropertyValue& value) {
        switch (value.type) {
            case ValueType::Null:
                throw DialogFileError("end-of-list marker used as a value");
            case ValueType::Int8:
            case ValueType::Int16:
            case ValueType::Int32:
                SmallInteger(value.integer, value.type, "integer");
                return;
            case ValueType::Int64:
            case ValueType::Currency:
                Integer(value.integer, value.type);
                return;
            default:
                break;
        }
        Byte(static_cast<std::uint8_t>(value.type));
        switch (value.type) {
            case ValueType::List:
                for (const PropertyValue& item : value.list) {
                    Value(item);
                }
                Byte(0);
                break;
            case ValueType::Extended:
                Raw(std::string_view(reinterpret_cast<const char*>(value.extended.data()),
                                     value.extended.size()));
                break;
            case ValueType::Single: {
                const auto number = static_cast<float>(value.real);
                std::uint32_t bits;
                std::memcpy(&bits, &number, 4);
                Unsigned(bits, 4);
                break;
            }
            case ValueType::Double:
            case ValueType::Date: {
                std::uint64_t bits;
                std::memcpy(&bits, &value.real, 8);
                Unsigned(bits, 8);
                break;
            }
            case ValueType::String:
            case ValueType::Ident:
                ShortString(value.text, "string");
                break;
            case ValueType::LString:
            case ValueType::Utf8String:
            case ValueType::Binary:
                Length(value.text.size());
                Raw(value.text);
                break;
            case ValueType::WString:
                Length(value.wide.size());
                for (char16_t unit : value.wide) {
                    Unsigned(unit, 2);
                }
                break;
            case ValueType::Set:
                for (const std::string& element : value.setElements) {
                    if (element.empty()) {
                        throw DialogFileError("empty set element");
                    }
                    ShortString(element, "set element");
                }
                Byte(0);
                break;
            case ValueType::Collection:
                for (const CollectionItem& item : value.items) {
                    if (item.order) {
                        SmallInteger(*item.order, item.orderType, "item order");
                    }
                    Byte(static_cast<std::uint8_t>(ValueType::List));
                    Properties(item.properties);
                }
                Byte(0);
                break;
            default:
                break;  // False, True, Nil carry no data; integers were written above
        }
    }

    void Component(const kaviro::ui::Component& component) {
        if (component.filerFlags != 0) {
            if (component.filerFlags & ~(kFilerInherited | kFilerChildPosition | kFilerInline)) {
                throw DialogFileError("unknown filer flags on " + component.name);
            }
            const bool hasPosition = (component.filerFlags & kFilerChildPosition) != 0;
            if (hasPosition != component.childPosition.has_value()) {
                throw DialogFileError("child position flag and value disagree on " + component.name);
            }
            Byte(static_cast<std::uint8_t>(0xF0 | component.filerFlags));
            if (hasPosition) {
                SmallInteger(*component.childPosition, component.positionType, "child position");
            }
        } else if (component.childPosition) {
            throw DialogFileError("child position without its filer flag on " + component.name);
        } else if (component.className.size() >= 0xF0) {
            // A class name length of 0xF0 or more would read as a filer prefix;
            // an empty prefix in front keeps it a length.
            Byte(0xF0);
        }
        if (component.className.empty()) {
            throw DialogFileError("empty class name");
        }
        ShortString(component.className, "class name");
        ShortString(component.name, "component name");
        Properties(component.properties);
        for (const kaviro::ui::Component& child : component.children) {
            Component(child);
        }
        Byte(0);
    }
};

}  // namespace

std::vector<std::uint8_t> WriteFormStream(const Component& root) {
    FormStreamBuilder builder;
    builder.Raw("TPF0");
    builder.Component(root);
    return std::move(builder.bytes);
}

std::vector<std::uint8_t> WriteDialogFile(const DialogFile& file) {
    if (file.resourceName.find('\0') != std::string::npos) {
        throw DialogFileError("resource name holds a zero byte");
    }
    const std::vector<std::uint8_t> stream = WriteFormStream(file.root);
    FormStreamBuilder builder;
    builder.Byte(0xFF);
    builder.Unsigned(10, 2);
    builder.Raw(file.resourceName);
    builder.Byte(0);
    builder.Unsigned(file.memoryFlags, 2);
    builder.Length(stream.size());
    builder.Raw(std::string_view(reinterpret_cast<const char*>(stream.data()), stream.size()));
    return std::move(builder.bytes);
}

}  // namespace kaviro::ui
