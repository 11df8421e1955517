// The property model over a component tree: editor texts, defaults of
// unstored published properties, typed writes, missing names.

#include <gtest/gtest.h>

#include "ui/form_text_compiler.h"
#include "ui/property_model.h"

namespace kaviro::ui {
namespace {

constexpr const char* kPage =
    "object Page: TPoolTemplate\n"
    "  Caption = 'Page caption'\n"
    "  object Panel1: TPanel\n"
    "    object CheckBox1: TRzCheckBox\n"
    "      Checked = True\n"
    "      Font.Style = [fsBold, fsItalic]\n"
    "    end\n"
    "  end\n"
    "  object Edit1: TEdit\n"
    "    Text = 'C:\\Program Files'\n"
    "    MaxLength = 5\n"
    "    Align = alTop\n"
    "    Hint = 'TARGETDIR'\n"
    "    Ratio = 1.5\n"
    "    Price = 2.5c\n"
    "    Title = 'Caf'#233' '#9786\n"
    "    Lines = ('one' 'two')\n"
    "  end\n"
    "  object TrackBar1: TTrackBar\n"
    "  end\n"
    "end\n";

class PropertyModelTest : public testing::Test {
  protected:
    Component root_ = ParseTextForm(kPage, "page.txt");
    ComponentTreePropertyModel model_{root_};
};

struct ReadCase {
    const char* component;
    const char* property;
    std::optional<std::string> expected;
};

TEST_F(PropertyModelTest, ReadsEditorTexts) {
    const ReadCase cases[] = {
        {"CheckBox1", "Checked", "True"},  // stored boolean, nested component
        {"checkbox1", "CHECKED", "True"},  // names ignore case
        {"CheckBox1", "Font.Style", "[fsBold,fsItalic]"},
        {"CheckBox1", "Enabled", "True"},  // published default, not stored
        {"CheckBox1", "State", "cbUnchecked"},
        {"CheckBox1", "Caption", ""},  // exists, empty
        {"CheckBox1", "Name", "CheckBox1"},
        {"Edit1", "Text", "C:\\Program Files"},
        {"Edit1", "MaxLength", "5"},
        {"Edit1", "Align", "alTop"},
        {"Edit1", "Ratio", "1.5"},
        {"Edit1", "Price", "2.5"},
        {"Edit1", "Title", "Caf\xE9 ?"},  // wide text as ANSI
        {"Edit1", "Lines", "one\r\ntwo"},
        {"TrackBar1", "Position", "0"},
        {"TrackBar1", "Max", "10"},
        {"Edit1", "Checked", std::nullopt},  // not a property of an edit
        {"Edit1", "NoSuchProperty", std::nullopt},
        {"Missing", "Enabled", std::nullopt},
        {"Page", "Caption", std::nullopt},  // the dialog itself is not one of its components
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(model_.ReadProperty(c.component, c.property), c.expected)
            << c.component << "." << c.property;
        EXPECT_EQ(model_.PropertyText(c.component, c.property), c.expected.value_or("")) << c.property;
    }
}

struct WriteCase {
    const char* component;
    const char* property;
    const char* text;
    bool accepted;
    const char* readBack;  // the editor text afterwards
};

TEST_F(PropertyModelTest, WritesTypedValuesAndRefusesWrongOnes) {
    const WriteCase cases[] = {
        {"CheckBox1", "Checked", "false", true, "False"},
        {"CheckBox1", "Checked", "maybe", false, "False"},
        {"CheckBox1", "Enabled", "False", true, "False"},  // unstored default, now stored
        {"CheckBox1", "Font.Style", "[ fsUnderline ]", true, "[fsUnderline]"},
        {"CheckBox1", "Font.Style", "[fsBold,]", false, "[fsUnderline]"},
        {"Edit1", "MaxLength", "2147483647", true, "2147483647"},
        {"Edit1", "MaxLength", "2147483648", false, "2147483647"},
        {"Edit1", "MaxLength", "12abc", false, "2147483647"},
        {"Edit1", "Align", "alClient", true, "alClient"},
        {"Edit1", "Align", "not an identifier", false, "alClient"},
        {"Edit1", "Text", "D:\\Apps", true, "D:\\Apps"},
        {"Edit1", "Title", "plain", true, "plain"},
        {"Edit1", "Ratio", "-0.25", true, "-0.25"},
        {"Edit1", "Price", "3.1415", true, "3.1415"},
        {"Edit1", "Price", "3.14159", false, "3.1415"},
        {"Edit1", "Lines", "a\r\nb\nc", true, "a\r\nb\r\nc"},
        {"TrackBar1", "Position", "-7", true, "-7"},
        {"Edit1", "Name", "Renamed", false, "Edit1"},
    };
    for (const WriteCase& c : cases) {
        EXPECT_EQ(model_.WriteProperty(c.component, c.property, c.text), c.accepted)
            << c.component << "." << c.property << " := " << c.text;
        EXPECT_EQ(model_.PropertyText(c.component, c.property), c.readBack)
            << c.component << "." << c.property;
    }
}

TEST_F(PropertyModelTest, IgnoresWritesToMissingComponentsAndProperties) {
    const Component before = root_;
    EXPECT_FALSE(model_.WriteProperty("Missing", "Enabled", "False"));
    EXPECT_FALSE(model_.WriteProperty("Edit1", "NoSuchProperty", "1"));
    EXPECT_FALSE(model_.WriteProperty("Page", "Caption", "x"));
    EXPECT_EQ(root_, before);
}

}  // namespace
}  // namespace kaviro::ui
