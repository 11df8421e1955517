#pragma once
// The component tree that a compiled dialog file describes: one node per
// component with its class name, Name, typed properties in stream order and
// children in stream order. The reader, the text compiler and printer, and
// the property model all work on this tree.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kaviro::ui {

// Value type codes of the binary component format; the numbers are the bytes
// that precede each value in the stream.
enum class ValueType : std::uint8_t {
    Null = 0,  // end of a list; never a property value of its own
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    String = 6,
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WString = 18,
    Int64 = 19,
    Utf8String = 20,
    Double = 21,
};

inline constexpr std::uint8_t kHighestValueType = 21;

// Filer flags written in front of a component's class name (high nibble 0xF).
enum FilerFlag : std::uint8_t {
    kFilerInherited = 0x01,
    kFilerChildPosition = 0x02,
    kFilerInline = 0x04,
};

struct Property;
struct CollectionItem;

// One typed value. Which members carry data depends on `type`:
//   Int8, Int16, Int32, Int64      integer
//   Currency                       integer (the amount times 10000)
//   Single, Double, Date           real
//   Extended                       extended (the 10 bytes as stored)
//   String, LString, Ident         text (bytes as stored)
//   Utf8String                     text (UTF-8 bytes)
//   Binary                         text (the raw bytes)
//   WString                        wide (UTF-16 code units)
//   Set                            setElements
//   List                           list
//   Collection                     items
//   False, True, Nil               nothing
struct PropertyValue {
    ValueType type = ValueType::Nil;
    std::int64_t integer = 0;
    double real = 0;
    std::array<std::uint8_t, 10> extended{};
    std::string text;
    std::u16string wide;
    std::vector<std::string> setElements;
    std::vector<PropertyValue> list;
    std::vector<CollectionItem> items;

    bool operator==(const PropertyValue&) const;
};

struct Property {
    std::string name;  // may be dotted: "Font.Style", "Items.Strings"
    PropertyValue value;

    bool operator==(const Property&) const = default;
};

struct CollectionItem {
    // The optional order value written before an item; orderType is one of
    // Int8, Int16, Int32 when present.
    std::optional<std::int64_t> order;
    ValueType orderType = ValueType::Int32;
    std::vector<Property> properties;

    bool operator==(const CollectionItem&) const = default;
};

struct Component {
    std::string className;
    std::string name;
    std::uint8_t filerFlags = 0;  // FilerFlag bits
    // Present exactly when kFilerChildPosition is set; positionType is the
    // integer type it was stored with.
    std::optional<std::int64_t> childPosition;
    ValueType positionType = ValueType::Int32;
    std::vector<Property> properties;
    std::vector<Component> children;

    bool operator==(const Component&) const = default;
};

// A whole dialog file: the resource header fields and the form's root component.
struct DialogFile {
    std::string resourceName;
    std::uint16_t memoryFlags = 0x1030;
    Component root;

    bool operator==(const DialogFile&) const = default;
};

}  // namespace kaviro::ui
