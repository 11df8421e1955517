// The dialog rules: the fixed-position parse of rule lines and their
// evaluation over a dialog's properties.

#include <gtest/gtest.h>

#include "ui/comma_text.h"
#include "ui/dialog_rules.h"
#include "ui/form_text_compiler.h"

namespace kaviro::ui {
namespace {

struct ParseCase {
    const char* line;
    DialogRule expected;
};

TEST(DialogRuleParseTest, CutsLinesAtTheFixedSeparators) {
    using C = RuleComparison;
    const ParseCase cases[] = {
        {"IF (CheckBox1.Checked = True)  THEN  Button1.Enabled := True;",
         {"CheckBox1", "Checked", C::Equal, "True", "Button1", "Enabled", "True"}},
        {"IF (CheckBox1.Checked <> True)  THEN  Button1.Enabled := False;",
         {"CheckBox1", "Checked", C::NotEqual, "True", "Button1", "Enabled", "False"}},
        // dotted values and properties: the component ends at the first ".", the property at the operator
        {"IF (Label1.Font.Style = [fsBold])  THEN  Label2.Caption := Edit1.Text;",
         {"Label1", "Font.Style", C::Equal, "[fsBold]", "Label2", "Caption", "Edit1.Text"}},
        // values may hold blanks and "=" signs
        {"IF (Edit1.Text = a = b)  THEN  Label1.Caption := x := y;",
         {"Edit1", "Text", C::Equal, "a = b", "Label1", "Caption", "x := y"}},
        // " <> " anywhere in the line, even in the assigned value, selects the operator
        {"IF (Edit1.Text = A)  THEN  Label1.Caption := x <> y;",
         {"Edit1", "Text = A)  THEN  Label1.Caption := x", C::NotEqual, "", "", "", "y"}},
        // the first four characters are skipped whatever they are
        {"  IF (CheckBox1.Checked = True)  THEN  Button1.Enabled := True;",
         {" (CheckBox1", "Checked", C::Equal, "True", "Button1", "Enabled", "True"}},
        // single blanks before THEN: the condition value never ends, everything after is empty
        {"IF (CheckBox1.Checked = True) THEN Button1.Enabled := True;",
         {"CheckBox1", "Checked", C::Equal, "", "True) THEN Button1", "Enabled", "True"}},
        // no closing ";": the assigned value is empty
        {"IF (A.B = 1)  THEN  C.D := 2", {"A", "B", C::Equal, "1", "C", "D", ""}},
        {"", {"", "", C::Equal, "", "", "", ""}},
        {"IF (", {"", "", C::Equal, "", "", "", ""}},
    };
    for (const ParseCase& c : cases) {
        EXPECT_EQ(ParseDialogRule(c.line), c.expected) << c.line;
    }
}

constexpr const char* kLicencePage =
    "object Page: TPoolTemplate\n"
    "  object CheckBox1: TRzCheckBox\n"
    "  end\n"
    "  object Button1: TButton\n"
    "    Enabled = False\n"
    "  end\n"
    "  object Edit1: TEdit\n"
    "    Text = 'Acme'\n"
    "  end\n"
    "  object Label1: TLabel\n"
    "    Caption = 'before'\n"
    "  end\n"
    "  object Memo1: TMemo\n"
    "  end\n"
    "end\n";

class DialogRulesTest : public testing::Test {
  protected:
    void Apply(const std::vector<std::string>& lines) { ApplyDialogRules(JoinCommaText(lines), model_); }
    std::string Text(const char* component, const char* property) const {
        return model_.PropertyText(component, property);
    }

    Component root_ = ParseTextForm(kLicencePage, "licence.txt");
    ComponentTreePropertyModel model_{root_};
};

const std::vector<std::string> kEnableOnCheck = {
    "IF (CheckBox1.Checked = True)  THEN  Button1.Enabled := True;",
    "IF (CheckBox1.Checked <> True)  THEN  Button1.Enabled := False;",
};

TEST_F(DialogRulesTest, EnableOnCheckPairFollowsTheCheckBox) {
    Apply(kEnableOnCheck);
    EXPECT_EQ(Text("Button1", "Enabled"), "False");  // Checked is unstored: its default False
    ASSERT_TRUE(model_.WriteProperty("CheckBox1", "Checked", "True"));
    Apply(kEnableOnCheck);
    EXPECT_EQ(Text("Button1", "Enabled"), "True");
    ASSERT_TRUE(model_.WriteProperty("CheckBox1", "Checked", "False"));
    Apply(kEnableOnCheck);
    EXPECT_EQ(Text("Button1", "Enabled"), "False");
}

TEST_F(DialogRulesTest, AnUnmetConditionLeavesTheTargetAlone) {
    ASSERT_TRUE(model_.WriteProperty("Button1", "Enabled", "True"));
    Apply({kEnableOnCheck[0]});  // box unchecked: the rule does nothing
    EXPECT_EQ(Text("Button1", "Enabled"), "True");
}

TEST_F(DialogRulesTest, ResolvesComponentPropertyValues) {
    Apply({"IF (CheckBox1.Checked = False)  THEN  Label1.Caption := Edit1.Text;"});
    EXPECT_EQ(Text("Label1", "Caption"), "Acme");
    // a condition value naming a property compares with its text
    Apply({"IF (Label1.Caption = Edit1.Text)  THEN  Memo1.MaxLength := 7;"});
    EXPECT_EQ(Text("Memo1", "MaxLength"), "7");
    // 1.5 names no component property and is used as written
    Apply({"IF (CheckBox1.Checked = False)  THEN  Label1.Caption := 1.5;"});
    EXPECT_EQ(Text("Label1", "Caption"), "1.5");
    // a dotted value whose property is missing is used as written too
    Apply({"IF (CheckBox1.Checked = False)  THEN  Label1.Caption := Edit1.Nothing;"});
    EXPECT_EQ(Text("Label1", "Caption"), "Edit1.Nothing");
}

TEST_F(DialogRulesTest, ComparesCaseSensitively) {
    Apply({"IF (CheckBox1.Checked = false)  THEN  Label1.Caption := changed;"});
    EXPECT_EQ(Text("Label1", "Caption"), "before");
}

TEST_F(DialogRulesTest, MissingComponentsReadEmptyAndAssignNothing) {
    const Component before = root_;
    Apply({"IF (Ghost.Checked = True)  THEN  Label1.Caption := seen;",
           "IF (CheckBox1.Checked = False)  THEN  Ghost.Caption := x;",
           "IF (CheckBox1.Checked = False)  THEN  Label1.Ghost := x;",
           "IF (CheckBox1.Checked = False)  THEN  Button1.Enabled := maybe;", "not a rule at all", ""});
    EXPECT_EQ(root_, before);
    // a missing component reads as empty, so comparing with an empty value holds
    Apply({"IF (Ghost.Checked = )  THEN  Label1.Caption := empty;"});
    EXPECT_EQ(Text("Label1", "Caption"), "empty");
}

TEST_F(DialogRulesTest, RulesRunOnceInFileOrderAndALaterOneMayUndoAnEarlier) {
    Apply({"IF (CheckBox1.Checked = False)  THEN  Button1.Enabled := True;",
           "IF (Button1.Enabled = True)  THEN  Label1.Caption := second saw it;",
           "IF (CheckBox1.Checked = False)  THEN  Button1.Enabled := False;"});
    EXPECT_EQ(Text("Button1", "Enabled"), "False");
    EXPECT_EQ(Text("Label1", "Caption"), "second saw it");
    // once each: a rule that would only hold after a later one is not revisited
    Apply({"IF (Label1.Caption = third)  THEN  Edit1.Text := again;",
           "IF (CheckBox1.Checked = False)  THEN  Label1.Caption := third;"});
    EXPECT_EQ(Text("Edit1", "Text"), "Acme");
    EXPECT_EQ(Text("Label1", "Caption"), "third");
}

TEST_F(DialogRulesTest, LicenceScrolledToTheEnd) {
    const std::vector<std::string> rules = {
        "IF (Memo1.MaxLength = 2147483647)  THEN  Button1.Enabled := True;"};
    Apply(rules);
    EXPECT_EQ(Text("Button1", "Enabled"), "False");
    ASSERT_TRUE(model_.WriteProperty("Memo1", "MaxLength", "2147483647"));
    Apply(rules);
    EXPECT_EQ(Text("Button1", "Enabled"), "True");
}

}  // namespace
}  // namespace kaviro::ui
