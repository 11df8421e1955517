#include "ui/form_stream_reader.h"

#include <cstring>
#include <string>

#include "ui/registered_classes.h"

namespace kaviro::ui {

namespace {

constexpr const char* kInvalidStream = "Invalid stream format";
constexpr const char* kReadError = "Stream read error";
constexpr const char* kInvalidValue = "Invalid property value";

// Bounds-checked little-endian reading over a byte span.
class ByteReader {
  public:
    // base: where bytes start in the file, so that messages give file offsets.
    ByteReader(std::span<const std::uint8_t> bytes, std::size_t base) : bytes_(bytes), base_(base) {}

    std::size_t Offset() const { return base_ + offset_; }
    std::size_t Remaining() const { return bytes_.size() - offset_; }

    [[noreturn]] void Fail(const std::string& wording, const std::string& detail) const {
        throw DialogFileError(wording + " (" + detail + " at offset " + std::to_string(base_ + offset_) +
                              ")");
    }

    void Require(std::uint64_t count, const char* what) const {
        if (count > Remaining()) {
            Fail(kReadError, std::string(what) + " of " + std::to_string(count) + " bytes runs past the end");
        }
    }

    std::uint8_t Byte(const char* what) {
        Require(1, what);
        return bytes_[offset_++];
    }

    std::uint8_t PeekByte(const char* what) const {
        Require(1, what);
        return bytes_[offset_];
    }

    std::uint64_t Unsigned(int size, const char* what) {
        Require(static_cast<std::uint64_t>(size), what);
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i) {
            value |= static_cast<std::uint64_t>(bytes_[offset_ + static_cast<std::size_t>(i)]) << (8 * i);
        }
        offset_ += static_cast<std::size_t>(size);
        return value;
    }

    std::int64_t Signed(int size, const char* what) {
        std::uint64_t value = Unsigned(size, what);
        if (size < 8) {
            const std::uint64_t signBit = std::uint64_t{1} << (8 * size - 1);
            if (value & signBit) {
                value |= ~((signBit << 1) - 1);
            }
        }
        return static_cast<std::int64_t>(value);
    }

    std::string Bytes(std::uint64_t count, const char* what) {
        Require(count, what);
        std::string text(reinterpret_cast<const char*>(bytes_.data() + offset_),
                         static_cast<std::size_t>(count));
        offset_ += static_cast<std::size_t>(count);
        return text;
    }

    std::string ShortString(const char* what) { return Bytes(Byte(what), what); }

    std::span<const std::uint8_t> Rest() const { return bytes_.subspan(offset_); }
    void Skip(std::size_t count) {
        Require(count, "header");
        offset_ += count;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t base_;
    std::size_t offset_ = 0;
};

class FormStreamParser {
  public:
    FormStreamParser(std::span<const std::uint8_t> bytes, std::size_t base) : in_(bytes, base) {}

    Component ReadRoot() {
        if (in_.Remaining() < 4 || std::memcmp(in_.Rest().data(), "TPF0", 4) != 0) {
            in_.Fail(kInvalidStream, "form stream signature TPF0 missing");
        }
        in_.Skip(4);
        return ReadComponent(true, 1);
    }

  private:
    void CountItem() {
        if (++items_ > kMaxFormItems) {
            in_.Fail(kInvalidStream, "more than " + std::to_string(kMaxFormItems) + " items in one form");
        }
    }

    void EnterLevel(int depth) const {
        if (depth > kMaxFormNesting) {
            in_.Fail(kInvalidStream, "nesting deeper than " + std::to_string(kMaxFormNesting) + " levels");
        }
    }

    // Integer values as the form library's ReadInteger accepts them.
    std::int64_t ReadSmallInteger(ValueType& type, const char* what) {
        const std::uint8_t code = in_.Byte(what);
        switch (static_cast<ValueType>(code)) {
            case ValueType::Int8:
                type = ValueType::Int8;
                return in_.Signed(1, what);
            case ValueType::Int16:
                type = ValueType::Int16;
                return in_.Signed(2, what);
            case ValueType::Int32:
                type = ValueType::Int32;
                return in_.Signed(4, what);
            default:
                in_.Fail(kInvalidValue, std::string(what) + " is not an integer");
        }
    }

    Component ReadComponent(bool isRoot, int depth) {
        EnterLevel(depth);
        CountItem();
        Component component;
        const std::uint8_t prefix = in_.PeekByte("component");
        if ((prefix & 0xF0) == 0xF0) {
            in_.Byte("filer flags");
            component.filerFlags = prefix & 0x0F;
            if (component.filerFlags & ~(kFilerInherited | kFilerChildPosition | kFilerInline)) {
                in_.Fail(kInvalidStream, "unknown filer flags");
            }
            if (component.filerFlags & kFilerChildPosition) {
                component.childPosition = ReadSmallInteger(component.positionType, "child position");
            }
        }
        const std::size_t classOffset = in_.Offset();
        component.className = in_.ShortString("class name");
        if (component.className.empty()) {
            in_.Fail(kInvalidStream, "empty class name");
        }
        if (!isRoot && !IsRegisteredClass(component.className)) {
            throw DialogFileError("Class " + component.className + " not found (at offset " +
                                  std::to_string(classOffset) + ")");
        }
        component.name = in_.ShortString("component name");
        while (in_.PeekByte("property list") != 0) {
            Property property;
            property.name = in_.ShortString("property name");
            property.value = ReadValue(depth + 1);
            component.properties.push_back(std::move(property));
        }
        in_.Byte("end of properties");
        while (in_.PeekByte("child list") != 0) {
            component.children.push_back(ReadComponent(false, depth + 1));
        }
        in_.Byte("end of children");
        return component;
    }

    PropertyValue ReadValue(int depth) {
        CountItem();
        PropertyValue value;
        const std::size_t typeOffset = in_.Offset();
        const std::uint8_t code = in_.Byte("value type");
        if (code > kHighestValueType) {
            throw DialogFileError(std::string(kInvalidValue) + " (unknown value type " +
                                  std::to_string(code) + " at offset " + std::to_string(typeOffset) + ")");
        }
        value.type = static_cast<ValueType>(code);
        switch (value.type) {
            case ValueType::Null:
                throw DialogFileError(std::string(kInvalidValue) +
                                      " (end-of-list marker where a value belongs" + " at offset " +
                                      std::to_string(typeOffset) + ")");
            case ValueType::List:
                EnterLevel(depth + 1);
                while (in_.PeekByte("list") != 0) {
                    value.list.push_back(ReadValue(depth + 1));
                }
                in_.Byte("end of list");
                break;
            case ValueType::Int8:
                value.integer = in_.Signed(1, "8-bit integer");
                break;
            case ValueType::Int16:
                value.integer = in_.Signed(2, "16-bit integer");
                break;
            case ValueType::Int32:
                value.integer = in_.Signed(4, "32-bit integer");
                break;
            case ValueType::Int64:
                value.integer = in_.Signed(8, "64-bit integer");
                break;
            case ValueType::Currency:
                value.integer = in_.Signed(8, "currency");
                break;
            case ValueType::Extended: {
                const std::string raw = in_.Bytes(10, "extended");
                std::memcpy(value.extended.data(), raw.data(), 10);
                break;
            }
            case ValueType::Single: {
                const auto bits = static_cast<std::uint32_t>(in_.Unsigned(4, "single"));
                float number;
                std::memcpy(&number, &bits, 4);
                value.real = number;
                break;
            }
            case ValueType::Double:
            case ValueType::Date: {
                const std::uint64_t bits = in_.Unsigned(8, "double");
                std::memcpy(&value.real, &bits, 8);
                break;
            }
            case ValueType::String:
            case ValueType::Ident:
                value.text = in_.ShortString("string");
                break;
            case ValueType::LString:
            case ValueType::Utf8String:
            case ValueType::Binary:
                value.text = in_.Bytes(in_.Unsigned(4, "length"), "string");
                break;
            case ValueType::WString: {
                const std::uint64_t count = in_.Unsigned(4, "length");
                in_.Require(count * 2, "wide string");
                value.wide.reserve(static_cast<std::size_t>(count));
                for (std::uint64_t i = 0; i < count; ++i) {
                    value.wide.push_back(static_cast<char16_t>(in_.Unsigned(2, "wide string")));
                }
                break;
            }
            case ValueType::False:
            case ValueType::True:
            case ValueType::Nil:
                break;
            case ValueType::Set:
                for (;;) {
                    std::string element = in_.ShortString("set element");
                    if (element.empty()) {
                        break;
                    }
                    CountItem();
                    value.setElements.push_back(std::move(element));
                }
                break;
            case ValueType::Collection:
                EnterLevel(depth + 1);
                while (in_.PeekByte("collection") != 0) {
                    value.items.push_back(ReadCollectionItem(depth + 1));
                }
                in_.Byte("end of collection");
                break;
        }
        return value;
    }

    CollectionItem ReadCollectionItem(int depth) {
        EnterLevel(depth + 1);
        CountItem();
        CollectionItem item;
        const auto next = static_cast<ValueType>(in_.PeekByte("collection item"));
        if (next == ValueType::Int8 || next == ValueType::Int16 || next == ValueType::Int32) {
            item.order = ReadSmallInteger(item.orderType, "item order");
        }
        if (in_.Byte("collection item") != static_cast<std::uint8_t>(ValueType::List)) {
            in_.Fail(kInvalidValue, "collection item does not start with a list");
        }
        while (in_.PeekByte("item properties") != 0) {
            Property property;
            property.name = in_.ShortString("property name");
            property.value = ReadValue(depth + 1);
            item.properties.push_back(std::move(property));
        }
        in_.Byte("end of item");
        return item;
    }

    ByteReader in_;
    std::size_t items_ = 0;
};

}  // namespace

Component ReadFormStream(std::span<const std::uint8_t> bytes) {
    return FormStreamParser(bytes, 0).ReadRoot();
}

DialogFile ReadDialogFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 3 || bytes[0] != 0xFF || bytes[1] != 0x0A || bytes[2] != 0x00) {
        throw DialogFileError(kInvalidStream);
    }
    ByteReader header(bytes.subspan(3), 3);
    DialogFile file;
    for (;;) {
        const std::uint8_t c = header.Byte("resource name");
        if (c == 0) {
            break;
        }
        file.resourceName.push_back(static_cast<char>(c));
    }
    file.memoryFlags = static_cast<std::uint16_t>(header.Unsigned(2, "memory flags"));
    const std::uint64_t size = header.Unsigned(4, "stream size");
    if (size > header.Remaining()) {
        throw DialogFileError(std::string(kReadError) + " (form stream size " + std::to_string(size) +
                              " exceeds the " + std::to_string(header.Remaining()) +
                              " bytes left in the file)");
    }
    file.root =
        FormStreamParser(header.Rest().first(static_cast<std::size_t>(size)), header.Offset()).ReadRoot();
    return file;
}

}  // namespace kaviro::ui
