// Fuzzes the dialog rules: the input is a rules file's content, applied to
// the sample welcome page. Lines must survive the comma text unchanged, and
// applying the rules must neither fail nor touch a component they do not name.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/comma_text.h"
#include "ui/dialog_rules.h"
#include "ui/form_text_compiler.h"

using namespace kaviro::ui;

namespace {

constexpr const char* kPage =
    "object Page: TPoolTemplate\n"
    "  object CheckBox1: TRzCheckBox\n"
    "    Checked = True\n"
    "  end\n"
    "  object Button1: TButton\n"
    "    Enabled = False\n"
    "    Tag = 1\n"
    "  end\n"
    "  object Edit1: TEdit\n"
    "    Text = 'Acme'\n"
    "    Font.Style = [fsBold]\n"
    "  end\n"
    "  object Memo1: TMemo\n"
    "    Lines.Strings = ('one' 'two')\n"
    "  end\n"
    "end\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Component page = ParseTextForm(kPage, "page");
    const std::vector<std::string> lines =
        SplitTextLines(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string rules = JoinCommaText(lines);
    if (SplitCommaText(rules) != lines) {
        std::abort();
    }
    Component tree = page;
    ComponentTreePropertyModel model(tree);
    ApplyDialogRules(rules, model);
    if (tree.children.size() != page.children.size()) {
        std::abort();
    }
    for (const std::string& line : lines) {
        (void)ParseDialogRule(line);
    }
    return 0;
}
