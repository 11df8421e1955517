// Preloading dialogs from a support folder: the table, the rules comma text
// and the failures start-up turns into its exit code.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ui/dialog_preload.h"
#include "ui/dialog_rules.h"
#include "ui/form_text_compiler.h"

namespace kaviro::ui {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPage =
    "object Page: TPoolTemplate\n"
    "  object CheckBox1: TRzCheckBox\n"
    "    Checked = True\n"
    "  end\n"
    "  object Button1: TButton\n"
    "    Enabled = False\n"
    "  end\n"
    "end\n";

class DialogPreloadTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() /
            ("kaviro-preload-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        InitDialogHost(Folder(), [this] { ++cancelResets_; });
    }
    void TearDown() override {
        ResetDialogTable();
        fs::remove_all(folder_);
    }

    std::string Folder() const { return folder_.string() + "/"; }

    std::string Write(const std::string& name, const std::string& content) const {
        const std::string path = Folder() + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    std::string WriteDialog(const std::string& name, const std::string& rules) const {
        const std::vector<std::uint8_t> compiled = CompileTextForm(kPage, name);
        const std::string path = Write(name + ".dfm", std::string(compiled.begin(), compiled.end()));
        Write(name + ".dfm.oruf", rules);
        return path;
    }

    fs::path folder_;
    int cancelResets_ = 0;
};

TEST_F(DialogPreloadTest, BuildsThePathsOfTheFiles) {
    EXPECT_EQ(DialogFilePath("C:\\Temp\\support\\", "welcome"), "C:\\Temp\\support\\welcome.dfm");
    EXPECT_EQ(DialogFilePath("C:\\Temp\\support", "welcome"), "C:\\Temp\\support\\welcome.dfm");
    EXPECT_EQ(RulesFilePath("C:\\Temp\\support\\welcome.dfm"), "C:\\Temp\\support\\welcome.dfm.oruf");
}

TEST_F(DialogPreloadTest, InitialisesTheHost) {
    EXPECT_EQ(cancelResets_, 1);
    EXPECT_EQ(DialogSupportFolder(), Folder());
    EXPECT_EQ(PreloadedDialogCount(), 0u);
}

TEST_F(DialogPreloadTest, KeepsEachDialogUnderItsKeyWithItsRules) {
    const std::string path =
        WriteDialog("licence",
                    "IF (CheckBox1.Checked = True)  THEN  Button1.Enabled := True;\r\n"
                    "IF (CheckBox1.Checked <> True)  THEN  Button1.Enabled := False;\r\n");
    PreloadDialog("4", path);
    PreloadDialog("9", path);  // a second statement naming the same file gets its own entry
    ASSERT_EQ(PreloadedDialogCount(), 2u);
    const PreloadedDialog* dialog = FindDialog("4");
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(dialog, FindDialog("9"));
    EXPECT_EQ(dialog->identity, "licence.dfm");
    EXPECT_EQ(dialog->filePath, path);
    EXPECT_EQ(dialog->dialog.root.className, "TPoolTemplate");
    EXPECT_EQ(dialog->rules,
              "\"IF (CheckBox1.Checked = True)  THEN  Button1.Enabled := True;\","
              "\"IF (CheckBox1.Checked <> True)  THEN  Button1.Enabled := False;\"");
    EXPECT_EQ(FindDialog("5"), nullptr);

    // The kept rules drive the kept tree.
    Component tree = dialog->dialog.root;
    ComponentTreePropertyModel model(tree);
    ApplyDialogRules(dialog->rules, model);
    EXPECT_EQ(model.PropertyText("Button1", "Enabled"), "True");
}

TEST_F(DialogPreloadTest, KeysAreUpperCasedAndReplaced) {
    PreloadDialog("page", WriteDialog("first", ""));
    const PreloadedDialog* before = FindDialog("PAGE");
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(before->rules, "");
    PreloadDialog("Page", WriteDialog("second", "x\r\n"));
    EXPECT_EQ(PreloadedDialogCount(), 1u);
    ASSERT_NE(FindDialog("pAgE"), nullptr);
    EXPECT_EQ(FindDialog("page")->identity, "second.dfm");
    EXPECT_EQ(FindDialog("page")->rules, "x");
}

TEST_F(DialogPreloadTest, TheSampleWelcomeDialogPreloadsAndItsRulesFollowTheCheckBox) {
    const std::string samples = std::string(KAVIRO_SOURCE_DIR) + "/tests/data/dialogs/";
    std::ifstream text(samples + "welcome.txt", std::ios::binary);
    std::ifstream rules(samples + "welcome.oruf", std::ios::binary);
    ASSERT_TRUE(text && rules);
    const std::string source{std::istreambuf_iterator<char>(text), std::istreambuf_iterator<char>()};
    const std::vector<std::uint8_t> compiled = CompileTextForm(source, "welcome.txt");
    const std::string path = Write("welcome.dfm", std::string(compiled.begin(), compiled.end()));
    Write("welcome.dfm.oruf",
          std::string{std::istreambuf_iterator<char>(rules), std::istreambuf_iterator<char>()});
    EXPECT_EQ(path, DialogFilePath(Folder(), "welcome"));

    PreloadDialog("12", path);
    const PreloadedDialog* welcome = FindDialog("12");
    ASSERT_NE(welcome, nullptr);
    Component tree = welcome->dialog.root;
    ComponentTreePropertyModel model(tree);
    EXPECT_EQ(model.PropertyText("Edit1", "Hint"), "USERNAME");
    EXPECT_EQ(model.PropertyText("Button2", "Tag"), "1");
    ApplyDialogRules(welcome->rules, model);
    EXPECT_EQ(model.PropertyText("Button2", "Enabled"), "False");
    ASSERT_TRUE(model.WriteProperty("CheckBox1", "Checked", "True"));
    ApplyDialogRules(welcome->rules, model);
    EXPECT_EQ(model.PropertyText("Button2", "Enabled"), "True");
}

TEST_F(DialogPreloadTest, UnreadableFilesRaiseAnErrorNamingTheFile) {
    const std::string good = WriteDialog("good", "");
    const std::string noRules = Write("norules.dfm", std::string(1, '\xFF'));
    {
        const std::vector<std::uint8_t> compiled = CompileTextForm(kPage, "norules");
        Write("norules.dfm", std::string(compiled.begin(), compiled.end()));
    }
    const std::string damaged = Write("damaged.dfm", "TPF0 not a resource");
    Write("damaged.dfm.oruf", "");
    const std::string truncated =
        Write("truncated.dfm", std::string("\xFF\x0A\x00X\x00\x30\x10\xFF\x00\x00\x00TPF0", 15));
    Write("truncated.dfm.oruf", "");

    const struct {
        std::string path;
        std::string expected;
    } cases[] = {
        {Folder() + "missing.dfm", "Cannot open dialog file " + Folder() + "missing.dfm"},
        {noRules, "Cannot open rules file " + noRules + ".oruf"},
        {damaged, "Cannot read dialog file " + damaged + ": Invalid stream format"},
        {truncated, "Cannot read dialog file " + truncated + ": Stream read error"},
    };
    PreloadDialog("1", good);
    for (const auto& c : cases) {
        try {
            PreloadDialog("1", c.path);
            ADD_FAILURE() << "preloaded " << c.path;
        } catch (const DialogPreloadError& error) {
            EXPECT_EQ(std::string(error.what()).substr(0, c.expected.size()), c.expected);
        }
        // a failed preload leaves the table as it was
        ASSERT_NE(FindDialog("1"), nullptr);
        EXPECT_EQ(FindDialog("1")->identity, "good.dfm");
    }
}

}  // namespace
}  // namespace kaviro::ui
