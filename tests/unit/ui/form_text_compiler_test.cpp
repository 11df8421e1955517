// Text form compiler and printer: round trips over a table of value types,
// whole dialogs, and errors that name the source line.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "ui/form_stream_reader.h"
#include "ui/form_stream_writer.h"
#include "ui/form_text_compiler.h"
#include "ui/form_text_printer.h"

namespace kaviro::ui {
namespace {

using namespace std::string_literals;

struct ValueTextCase {
    const char* name;
    std::string text;  // the value as the printer writes it
    ValueType type;
};

std::string FormText(const std::string& propertyLine) {
    return "object Form1: TForm1\r\n  " + propertyLine + "\r\nend\r\n";
}

class ValueRoundTripTest : public testing::TestWithParam<ValueTextCase> {};

// text -> compiled file -> reader -> printer gives the same text, and the
// compiled value has the expected type.
TEST_P(ValueRoundTripTest, CompilesToTypeAndPrintsBack) {
    const ValueTextCase& c = GetParam();
    const std::string text = FormText("Value = " + c.text);
    const std::vector<std::uint8_t> compiled = CompileTextForm(text, "value.txt");
    const DialogFile file = ReadDialogFile(compiled);
    ASSERT_EQ(file.root.properties.size(), 1u);
    EXPECT_EQ(file.root.properties[0].value.type, c.type);
    EXPECT_EQ(PrintDialogFile(compiled), text);
    EXPECT_EQ(WriteDialogFile(file), compiled);
}

std::string LongStringText() {
    // 300 characters print as pieces of 64 joined by "+".
    std::string text;
    for (int piece = 0; piece < 5; ++piece) {
        text += (piece ? " +\r\n    '"s : "'"s) + std::string(64, static_cast<char>('a' + piece)) + "'";
    }
    return text + " +\r\n    '" + std::string(44, 'f') + "'";
}

INSTANTIATE_TEST_SUITE_P(
    ValueTypes, ValueRoundTripTest,
    testing::Values(
        ValueTextCase{"Int8", "-128", ValueType::Int8}, ValueTextCase{"Int16", "200", ValueType::Int16},
        ValueTextCase{"Int32", "-100000", ValueType::Int32},
        ValueTextCase{"Int64", "10000000000", ValueType::Int64},
        ValueTextCase{"Extended", "1.5", ValueType::Extended},
        ValueTextCase{"ExtendedWhole", "3.0", ValueType::Extended},
        ValueTextCase{"ExtendedExponent", "1e+300", ValueType::Extended},
        ValueTextCase{"ExtendedInfinity", "-Inf", ValueType::Extended},
        ValueTextCase{"Single", "0.1s", ValueType::Single},
        ValueTextCase{"SingleNaN", "+NaNs", ValueType::Single},
        ValueTextCase{"Double", "0.1f", ValueType::Double},
        ValueTextCase{"Currency", "-12.3456c", ValueType::Currency},
        ValueTextCase{"CurrencyWhole", "7c", ValueType::Currency},
        ValueTextCase{"Date", "45000.75d", ValueType::Date},
        ValueTextCase{"ShortString", "'It''s here'", ValueType::String},
        ValueTextCase{"EmptyString", "''", ValueType::String},
        ValueTextCase{"ControlCharacters", "'a'#13#10'b'#9", ValueType::String},
        ValueTextCase{"AnsiBytes", "'Caf'#233", ValueType::String},
        ValueTextCase{"LongString", LongStringText(), ValueType::LString},
        ValueTextCase{"WideString", "'Smile '#9786", ValueType::WString},
        ValueTextCase{"Utf8String", "'Caf\xC3\xA9'", ValueType::Utf8String},
        ValueTextCase{"Identifier", "alClient", ValueType::Ident},
        ValueTextCase{"DottedIdentifier", "Form2.PopupMenu1", ValueType::Ident},
        ValueTextCase{"False", "False", ValueType::False}, ValueTextCase{"True", "True", ValueType::True},
        ValueTextCase{"Nil", "nil", ValueType::Nil},
        ValueTextCase{"Set", "[fsBold, fsItalic]", ValueType::Set},
        ValueTextCase{"EmptySet", "[]", ValueType::Set},
        ValueTextCase{"List", "(\r\n    'a'\r\n    12\r\n    (\r\n      True))", ValueType::List},
        ValueTextCase{"EmptyList", "()", ValueType::List},
        ValueTextCase{"Binary", "{\r\n    00FF10" + std::string(58, 'A') + "\r\n    0B}", ValueType::Binary},
        ValueTextCase{"Collection",
                      "<\r\n    item\r\n      Caption = 'One'\r\n      Width = 40\r\n    end\r\n"
                      "    item [3]\r\n    end>",
                      ValueType::Collection}),
    [](const testing::TestParamInfo<ValueTextCase>& info) { return std::string(info.param.name); });

TEST(FormTextCompilerTest, WritesTheResourceHeaderAndCompactIntegers) {
    const std::vector<std::uint8_t> compiled = CompileTextForm(FormText("Tag = 5"), "x.txt");
    const std::string expectedStream =
        "TPF0\x06TForm1\x05"
        "Form1\x03Tag\x02\x05\x00\x00"s;
    std::string expected = "\xFF\x0A\x00TFORM1\x00\x30\x10"s;
    expected += static_cast<char>(expectedStream.size());
    expected += "\x00\x00\x00"s + expectedStream;
    EXPECT_EQ(std::string(compiled.begin(), compiled.end()), expected);
}

TEST(FormTextCompilerTest, AcceptsLooseLayoutAndConcatenation) {
    const Component root = ParseTextForm(
        "\xEF\xBB\xBF// a welcome page\n"
        "OBJECT Form1 : TForm1 Caption = 'Wel' +\n 'come'#33 Tag = $10 Left = -$2\n"
        "  Items.Strings = ('a' 'b')  Font.Style = [ fsBold ]\n"
        "END\n",
        "loose.txt");
    ASSERT_EQ(root.properties.size(), 5u);
    EXPECT_EQ(root.properties[0].value.text, "Welcome!");
    EXPECT_EQ(root.properties[1].value.integer, 16);
    EXPECT_EQ(root.properties[2].value.integer, -2);
    EXPECT_EQ(root.properties[3].name, "Items.Strings");
    EXPECT_EQ(root.properties[3].value.list.size(), 2u);
    EXPECT_EQ(root.properties[4].value.setElements, std::vector<std::string>{"fsBold"});
}

TEST(FormTextCompilerTest, ReadsFilerFlagsAndNestedObjects) {
    const std::string text =
        "object Page: TWizardPage\r\n"
        "  inherited Panel1: TPanel [2]\r\n"
        "    object Label1: TLabel\r\n"
        "      Caption = 'Hi'\r\n"
        "    end\r\n"
        "  end\r\n"
        "  inline TFlashFrame\r\n"
        "  end\r\n"
        "end\r\n";
    const Component root = ParseTextForm(text, "flags.txt");
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[0].filerFlags, kFilerInherited | kFilerChildPosition);
    EXPECT_EQ(root.children[0].childPosition, 2);
    EXPECT_EQ(root.children[0].children[0].name, "Label1");
    EXPECT_EQ(root.children[1].filerFlags, kFilerInline);
    EXPECT_EQ(root.children[1].name, "");
    EXPECT_EQ(PrintTextForm(root), text);
}

TEST(FormTextCompilerTest, TheSampleWelcomeDialogRoundTrips) {
    std::ifstream file(std::string(KAVIRO_SOURCE_DIR) + "/tests/data/dialogs/welcome.txt", std::ios::binary);
    ASSERT_TRUE(file) << "sample dialog missing";
    std::stringstream content;
    content << file.rdbuf();
    const std::vector<std::uint8_t> compiled = CompileTextForm(content.str(), "welcome.txt");
    const DialogFile dialog = ReadDialogFile(compiled);
    EXPECT_GE(dialog.root.children.size(), 5u);
    const std::string printed = PrintDialogFile(compiled);
    EXPECT_EQ(CompileTextForm(printed, "printed.txt"), compiled);
    EXPECT_EQ(PrintDialogFile(CompileTextForm(printed, "printed.txt")), printed);
}

struct TextErrorCase {
    const char* name;
    std::string text;
    const char* expectedMessage;
};

class TextErrorTest : public testing::TestWithParam<TextErrorCase> {};

TEST_P(TextErrorTest, NamesSourceAndLine) {
    try {
        (void)CompileTextForm(GetParam().text, "page.txt");
        FAIL() << "compiled";
    } catch (const DialogFileError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().expectedMessage), std::string::npos)
            << error.what();
    }
}

std::string DeepObjects(int depth) {
    std::string text = "object F: TForm1\n";
    for (int i = 0; i < depth; ++i) {
        text += "object TPanel\n";
    }
    for (int i = 0; i <= depth; ++i) {
        text += "end\n";
    }
    return text;
}

std::string ManyValues(std::size_t count) {
    std::string text = "object F: TForm1\n  P = (";
    for (std::size_t i = 0; i < count; ++i) {
        text += "1 ";
    }
    return text + ")\nend\n";
}

INSTANTIATE_TEST_SUITE_P(
    BadText, TextErrorTest,
    testing::Values(
        TextErrorCase{"Empty", "", "page.txt(1): 'object' expected but end of text found"},
        TextErrorCase{"UnregisteredClass", "object F: TForm1\n  Tag = 1\n  object B: TFoo\n  end\nend\n",
                      "page.txt(3): Class TFoo not found"},
        TextErrorCase{"MissingEnd", "object F: TForm1\n  Tag = 1\n", "page.txt(3): 'end' expected"},
        TextErrorCase{"TrailingText", "object F: TForm1\nend\nend\n", "page.txt(3): end of text expected"},
        TextErrorCase{"UnterminatedString", "object F: TForm1\n  Caption = 'abc\nend\n",
                      "page.txt(2): unterminated string"},
        TextErrorCase{"MalformedNumber", "object F: TForm1\n\n  Tag = 12ab\nend\n",
                      "page.txt(3): malformed number"},
        TextErrorCase{"OddBinary", "object F: TForm1\n  Data = {\n ABC}\nend\n",
                      "page.txt(2): binary value with an odd"},
        TextErrorCase{"BadBinaryDigit", "object F: TForm1\n  Data = {\n AZ}\nend\n",
                      "page.txt(3): invalid character 'Z'"},
        TextErrorCase{"MissingEquals", "object F: TForm1\n  Tag 1\nend\n",
                      "page.txt(2): '=' expected but '1' found"},
        TextErrorCase{"CharacterCodeTooLarge", "object F: TForm1\n  Caption = #70000\nend\n", "above 65535"},
        TextErrorCase{"IntegerOutOfRange", "object F: TForm1\n  Tag = 99999999999999999999\nend\n",
                      "out of range"},
        TextErrorCase{"CurrencyWithTooManyDecimals", "object F: TForm1\n  Price = 1.23456c\nend\n",
                      "malformed currency"},
        TextErrorCase{"ChildPositionNotInteger", "object F: TForm1\n  object L: TLabel [1.5]\n  end\nend\n",
                      "page.txt(2): child position must be a 32-bit integer"},
        TextErrorCase{"BadUtf8", "object F: TForm1\n  Caption = 'a\xFF'\nend\n",
                      "page.txt(2): string holds malformed UTF-8"},
        TextErrorCase{"TooDeep", DeepObjects(200), "nesting deeper than 64 levels"},
        TextErrorCase{"TooManyValues", ManyValues(kMaxFormItems), "more than 200000 items"},
        TextErrorCase{"LongShortName",
                      "object F: TForm1\n  object " + std::string(300, 'N') + ": TLabel\n  end\nend\n",
                      "page.txt: component name longer than 255 bytes"}),
    [](const testing::TestParamInfo<TextErrorCase>& info) { return std::string(info.param.name); });

TEST(FormTextCompilerTest, ClassNamesThatLookLikeAFilerPrefixReadBack) {
    for (std::size_t length : {239u, 240u, 255u}) {
        const std::string text = "object F: T" + std::string(length - 1, 'x') + "\r\nend\r\n";
        const std::vector<std::uint8_t> compiled = CompileTextForm(text, "long.txt");
        EXPECT_EQ(ReadDialogFile(compiled).root.className.size(), length);
        EXPECT_EQ(PrintDialogFile(compiled), text);
    }
}

TEST(FormTextPrinterTest, RefusesNamesTheTextFormCannotHold) {
    Component root;
    root.className = "TForm1";
    root.properties.push_back({"Bad Name", PropertyValue{}});
    EXPECT_THROW((void)PrintTextForm(root), DialogFileError);
}

}  // namespace
}  // namespace kaviro::ui
