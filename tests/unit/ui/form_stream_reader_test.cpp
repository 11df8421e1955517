// Reading hand-built form streams: every value type, filer flags, nesting,
// and damaged input.

#include <gtest/gtest.h>

#include <string>

#include "ui/form_stream_reader.h"
#include "ui/property_model.h"

namespace kaviro::ui {
namespace {

using namespace std::string_literals;

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A root form "Form1: TForm1" with one property P holding valueBytes.
std::string FormWithValue(const std::string& valueBytes) {
    return "TPF0\x06TForm1\x05"
           "Form1\x01P"s +
           valueBytes + "\x00\x00"s;
}

// Resource header in front of a form stream.
std::string WithHeader(const std::string& stream, std::uint32_t size) {
    std::string header = "\xFF\x0A\x00TFORM1\x00\x30\x10"s;
    for (int i = 0; i < 4; ++i) {
        header.push_back(static_cast<char>(size >> (8 * i)));
    }
    return header + stream;
}

struct ValueCase {
    const char* name;
    std::string bytes;
    ValueType type;
    std::string editorText;
};

class ReadValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(ReadValueTest, ReadsTypeAndEditorText) {
    const ValueCase& c = GetParam();
    const Component root = ReadFormStream(Bytes(FormWithValue(c.bytes)));
    ASSERT_EQ(root.properties.size(), 1u);
    EXPECT_EQ(root.properties[0].name, "P");
    EXPECT_EQ(root.properties[0].value.type, c.type);
    EXPECT_EQ(PropertyValueText(root.properties[0].value), c.editorText);
}

INSTANTIATE_TEST_SUITE_P(
    EveryValueType, ReadValueTest,
    testing::Values(
        ValueCase{"Int8", "\x02\xFE"s, ValueType::Int8, "-2"},
        ValueCase{"Int16", "\x03\x00\x80"s, ValueType::Int16, "-32768"},
        ValueCase{"Int32", "\x04\x78\x56\x34\x12"s, ValueType::Int32, "305419896"},
        ValueCase{"Int64", "\x13\x00\x00\x00\x00\x01\x00\x00\x80"s, ValueType::Int64, "-9223372032559808512"},
        ValueCase{"Extended", "\x05\x00\x00\x00\x00\x00\x00\x00\xC0\xFF\x3F"s, ValueType::Extended, "1.5"},
        ValueCase{"ExtendedNegative", "\x05\x00\x00\x00\x00\x00\x00\x00\xA0\x01\xC0"s, ValueType::Extended,
                  "-5"},
        ValueCase{"Single", "\x0F\x00\x00\xC0\x3F"s, ValueType::Single, "1.5"},
        ValueCase{"Double", "\x15\x00\x00\x00\x00\x00\x00\xF8\x3F"s, ValueType::Double, "1.5"},
        ValueCase{"Currency", "\x10\x48\xE8\x01\x00\x00\x00\x00\x00"s, ValueType::Currency, "12.5"},
        ValueCase{"Date", "\x11\x00\x00\x00\x00\x00\x00\x02\x40"s, ValueType::Date, "2.25"},
        ValueCase{"ShortString",
                  "\x06\x03"
                  "abc"s,
                  ValueType::String, "abc"},
        ValueCase{"LongString",
                  "\x0C\x03\x00\x00\x00"
                  "abc"s,
                  ValueType::LString, "abc"},
        ValueCase{"WideString",
                  "\x12\x03\x00\x00\x00"
                  "C\x00\xE9\x00\x3A\x26"s,
                  ValueType::WString, "C\xE9?"},
        ValueCase{"Utf8String",
                  "\x14\x03\x00\x00\x00"
                  "C\xC3\xA9"s,
                  ValueType::Utf8String, "C\xE9"},
        ValueCase{"Identifier",
                  "\x07\x08"
                  "alClient"s,
                  ValueType::Ident, "alClient"},
        ValueCase{"False", "\x08"s, ValueType::False, "False"},
        ValueCase{"True", "\x09"s, ValueType::True, "True"}, ValueCase{"Nil", "\x0D"s, ValueType::Nil, ""},
        ValueCase{"Binary", "\x0A\x03\x00\x00\x00\x01\x02\x03"s, ValueType::Binary, ""},
        ValueCase{"Set",
                  "\x0B\x06"
                  "fsBold\x08"
                  "fsItalic\x00"s,
                  ValueType::Set, "[fsBold,fsItalic]"},
        ValueCase{"EmptySet", "\x0B\x00"s, ValueType::Set, "[]"},
        ValueCase{"List",
                  "\x01\x06\x01"
                  "a\x06\x01"
                  "b\x00"s,
                  ValueType::List, "a\r\nb"}),
    [](const testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

TEST(FormStreamReaderTest, ReadsPayloadsExactly) {
    const Component root = ReadFormStream(Bytes(FormWithValue("\x0A\x03\x00\x00\x00\x01\x00\xFF"s)));
    EXPECT_EQ(root.properties[0].value.text, "\x01\x00\xFF"s);

    const Component wide = ReadFormStream(Bytes(FormWithValue("\x12\x02\x00\x00\x00\x3D\xD8\x00\xDE"s)));
    EXPECT_EQ(wide.properties[0].value.wide, u"\U0001F600");

    const Component list = ReadFormStream(Bytes(FormWithValue("\x01\x02\x07\x01\x09\x00\x00"s)));
    ASSERT_EQ(list.properties[0].value.list.size(), 2u);
    EXPECT_EQ(list.properties[0].value.list[0].integer, 7);
    EXPECT_EQ(list.properties[0].value.list[1].list[0].type, ValueType::True);
}

TEST(FormStreamReaderTest, ReadsCollectionsWithAndWithoutOrder) {
    // item [5] Caption = 'x' end, item end, item [300] end
    const std::string collection =
        "\x0E\x02\x05\x01\x07"
        "Caption\x06\x01x\x00"
        "\x01\x00"
        "\x03\x2C\x01\x01\x00"
        "\x00"s;
    const PropertyValue value = ReadFormStream(Bytes(FormWithValue(collection))).properties[0].value;
    ASSERT_EQ(value.type, ValueType::Collection);
    ASSERT_EQ(value.items.size(), 3u);
    EXPECT_EQ(value.items[0].order, 5);
    EXPECT_EQ(value.items[0].orderType, ValueType::Int8);
    ASSERT_EQ(value.items[0].properties.size(), 1u);
    EXPECT_EQ(value.items[0].properties[0].name, "Caption");
    EXPECT_EQ(value.items[0].properties[0].value.text, "x");
    EXPECT_FALSE(value.items[1].order.has_value());
    EXPECT_TRUE(value.items[1].properties.empty());
    EXPECT_EQ(value.items[2].order, 300);
    EXPECT_EQ(value.items[2].orderType, ValueType::Int16);
}

TEST(FormStreamReaderTest, ReadsNestedComponentsFilerFlagsAndDottedNames) {
    const std::string stream =
        "TPF0\x0CTWelcomePage\x07Welcome"
        "\x0A"
        "Font.Style\x0B\x06"
        "fsBold\x00"
        "\x00"
        // panel with child position 2 (inherited + child position)
        "\xF3\x02\x02\x06TPanel\x06Panel1\x00"
        "\x06TLabel\x06Label1\x07"
        "Caption\x06\x02Hi\x00\x00"
        "\x00"
        // inline frame with no name
        "\xF4\x0BTFlashFrame\x00\x00\x00"
        "\x00"s;
    const Component root = ReadFormStream(Bytes(stream));
    EXPECT_EQ(root.className, "TWelcomePage");
    EXPECT_EQ(root.name, "Welcome");
    EXPECT_EQ(root.properties[0].name, "Font.Style");
    ASSERT_EQ(root.children.size(), 2u);

    const Component& panel = root.children[0];
    EXPECT_EQ(panel.className, "TPanel");
    EXPECT_EQ(panel.filerFlags, kFilerInherited | kFilerChildPosition);
    EXPECT_EQ(panel.childPosition, 2);
    ASSERT_EQ(panel.children.size(), 1u);
    EXPECT_EQ(panel.children[0].name, "Label1");
    EXPECT_EQ(panel.children[0].properties[0].value.text, "Hi");

    const Component& frame = root.children[1];
    EXPECT_EQ(frame.filerFlags, kFilerInline);
    EXPECT_FALSE(frame.childPosition.has_value());
    EXPECT_EQ(frame.name, "");
}

TEST(FormStreamReaderTest, ReadsTheResourceHeader) {
    const std::string stream = FormWithValue("\x09"s);
    const DialogFile file =
        ReadDialogFile(Bytes(WithHeader(stream, static_cast<std::uint32_t>(stream.size()))));
    EXPECT_EQ(file.resourceName, "TFORM1");
    EXPECT_EQ(file.memoryFlags, 0x1030);
    EXPECT_EQ(file.root.className, "TForm1");
}

struct DamagedCase {
    const char* name;
    std::string bytes;
    const char* expectedMessage;
};

class DamagedInputTest : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedInputTest, FailsWithAClearError) {
    const DamagedCase& c = GetParam();
    try {
        (void)ReadDialogFile(Bytes(c.bytes));
        FAIL() << "read succeeded";
    } catch (const DialogFileError& error) {
        EXPECT_NE(std::string(error.what()).find(c.expectedMessage), std::string::npos) << error.what();
    }
}

std::string Framed(const std::string& stream) {
    return WithHeader(stream, static_cast<std::uint32_t>(stream.size()));
}

std::string NestedLists(int depth) {
    return FormWithValue(std::string(static_cast<std::size_t>(depth), '\x01') +
                         std::string(static_cast<std::size_t>(depth), '\x00'));
}

std::string NestedPanels(int depth) {
    std::string stream = "TPF0\x06TForm1\x00\x00"s;
    for (int i = 0; i < depth; ++i) {
        stream += "\x06TPanel\x00\x00"s;
    }
    return stream + std::string(static_cast<std::size_t>(depth) + 1, '\x00');
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, DamagedInputTest,
    testing::Values(
        DamagedCase{"Empty", "", "Invalid stream format"},
        DamagedCase{"WrongFirstByte", "\xFE\x0A\x00"s, "Invalid stream format"},
        DamagedCase{"WrongType", "\xFF\x0B\x00X\x00"s, "Invalid stream format"},
        DamagedCase{"NameNotTerminated", "\xFF\x0A\x00TFORM1"s, "Stream read error"},
        DamagedCase{"HeaderCutShort", "\xFF\x0A\x00T\x00\x30"s, "Stream read error"},
        DamagedCase{"SizeBeyondFile", WithHeader(FormWithValue("\x09"s), 1000), "exceeds"},
        DamagedCase{"NoSignature", Framed("TPF1\x06TForm1\x00\x00\x00"s), "Invalid stream format"},
        DamagedCase{"TruncatedString",
                    Framed("TPF0\x06TForm1\x05"
                           "Form1\x01P\x06\x09"
                           "abc"s),
                    "Stream read error"},
        DamagedCase{"TruncatedInteger", Framed("TPF0\x06TForm1\x00\x01P\x04\x01\x02"s), "Stream read error"},
        DamagedCase{"MissingEnd", Framed("TPF0\x06TForm1\x00\x00"s), "Stream read error"},
        DamagedCase{"UnknownValueType", Framed(FormWithValue("\x16"s)), "unknown value type 22"},
        DamagedCase{"NullAsValue", Framed(FormWithValue("\x00"s)), "Invalid property value"},
        DamagedCase{"UnregisteredClass", Framed("TPF0\x06TForm1\x00\x00\x04TFoo\x00\x00\x00\x00"s),
                    "Class TFoo not found"},
        DamagedCase{"UnknownFilerFlag", Framed("TPF0\x06TForm1\x00\x00\xF8\x06TLabel\x00\x00\x00\x00"s),
                    "unknown filer flags"},
        DamagedCase{"ChildPositionNotInteger", Framed("TPF0\x06TForm1\x00\x00\xF2\x06\x00"s),
                    "not an integer"},
        DamagedCase{"CollectionItemWithoutList", Framed(FormWithValue("\x0E\x02\x01\x06\x00"s)),
                    "Invalid property value"},
        DamagedCase{"HugeLongString",
                    Framed(FormWithValue("\x0C\xFF\xFF\xFF\xFF"
                                         "abc"s)),
                    "runs past the end"},
        DamagedCase{"HugeWideString",
                    Framed(FormWithValue("\x12\x00\x00\x00\x80"
                                         "ab"s)),
                    "runs past the end"},
        DamagedCase{"HugeBinary", Framed(FormWithValue("\x0A\xFF\xFF\xFF\x7F"s)), "runs past the end"},
        DamagedCase{"EndlessSet",
                    Framed(FormWithValue("\x0B\x03"
                                         "abc"s)),
                    "Stream read error"},
        DamagedCase{"TooManyValues",
                    Framed(FormWithValue("\x01"s + std::string(kMaxFormItems, '\x09') + "\x00"s)),
                    "more than 200000 items"},
        DamagedCase{"TooManySetElements",
                    Framed(FormWithValue("\x0B"s + std::string(2 * kMaxFormItems, '\x01') + "\x00"s)),
                    "more than 200000 items"},
        DamagedCase{"DeepLists", Framed(NestedLists(500)), "nesting deeper than"},
        DamagedCase{"DeepComponents", Framed(NestedPanels(500)), "nesting deeper than"}),
    [](const testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });

TEST(FormStreamReaderTest, AcceptsNestingUpToTheCap) {
    EXPECT_NO_THROW((void)ReadFormStream(Bytes(NestedPanels(kMaxFormNesting - 1))));
    EXPECT_THROW((void)ReadFormStream(Bytes(NestedPanels(kMaxFormNesting))), DialogFileError);
}

TEST(FormStreamReaderTest, RegisteredClassesIgnoreCaseAndRootMayBeAnyClass) {
    const Component root = ReadFormStream(Bytes("TPF0\x0ATAnyWindow\x00\x00\x06tlabel\x00\x00\x00\x00"s));
    EXPECT_EQ(root.className, "TAnyWindow");
    EXPECT_EQ(root.children[0].className, "tlabel");
}

}  // namespace
}  // namespace kaviro::ui
