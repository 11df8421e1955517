// Builds translated projects and reads the written translation files back
// with the engine's own Translations class.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "engine/package_format.h"
#include "tests/unit/builder/builder_test_support.h"
#include "tools/builder/build_error.h"
#include "tools/builder/identifiers.h"
#include "tools/builder/setup_builder.h"
#include "tools/builder/text_dialog_compiler.h"
#include "ui/translations.h"

namespace kaviro::builder {
namespace {

namespace fs = std::filesystem;
using test::FolderListing;
using test::Quoted;
using test::ReadBytes;
using test::RunCommand;
using test::WriteText;

constexpr const char* kProductCode = "{3B8F2C71-5D4E-4A96-9C0B-7E21D54A8F13}";

const std::string kSettings = std::string("[setup]\n") + "product code = " + kProductCode +
                              "\n"
                              "title = Tidewater Timesheet\n"
                              "version = 1.0\n"
                              "output name = TidewaterSetup\n"
                              "script = setup.kvs\n"
                              "dialogs folder = dialogs\n"
                              "msi file = product.msi\n"
                              "[translations]\n"
                              "German = translations/German.txt\n"
                              "French = translations/French.txt\n"
                              "[shared translations]\n"
                              "German = translations/German.messages\n";

const char* const kScript =
    "Localization Variable\n"  // statement 0, line 1
    "  | $GREETING$\n"
    "  | Hello\n"
    "If\n"  // statement 1, line 4
    "  @name edition-check\n"
    "  | EDITION\n"
    "  | 4\n"
    "  | Team\n"
    "  | FALSE\n"
    "MessageBox\n"  // statement 2, line 10
    "  @name welcome-box\n"
    "  @id {74193E47-71B5-4352-8E34-BB4E49ECFA76}\n"
    "  | Welcome\n"
    "  | Setup will install $TITLE$.\n"
    "  | 0\n"
    "  | 1\n"
    "  |\n"
    "End\n"
    "Display Dialog\n"  // statement 4
    "  | welcome\n";

const char* const kWelcomeDialog =
    "object Welcome: TForm\n"
    "  Caption = 'Welcome page'\n"
    "  object TitleLabel: TLabel\n"
    "    Caption = 'Welcome to the setup'\n"
    "  end\n"
    "  object NameEdit: TEdit\n"
    "    Text = 'Your name'\n"
    "  end\n"
    "end\n";

const char* const kGerman =
    "# German texts\n"
    "[dialog welcome]\n"
    "TitleLabel = Willkommen zum Setup\n"
    "NameEdit = Ihr Name\n"
    "[statement welcome-box]\n"
    "1 = Willkommen\n"
    "2 = Setup installiert $TITLE$.\n"
    "[statement edition-check]\n"
    "3 = Gruppe\n"
    "[variables]\n"
    "GREETING = Hallo\n";

// French leaves the MessageBox text, the edit and the condition untranslated.
const char* const kFrench =
    "[variables]\n"
    "$greeting$ = Bonjour\n"
    "[statement {74193E47-71B5-4352-8E34-BB4E49ECFA76}]\n"
    "1 = Bienvenue\n"
    "[dialog Welcome.dfm]\n"
    "titlelabel = Bienvenue\n";

// The engine texts the translations load a shared message file into.
class RecordingTexts final : public ui::EngineTexts {
  public:
    [[nodiscard]] std::string MessageText(int) const override { return {}; }
    void LoadMessageFile(const std::string& path) override { loaded.push_back(path); }
    [[nodiscard]] std::string LanguageNameOf(int) const override { return "English"; }
    std::vector<std::string> loaded;
};

class TranslationFilesTest : public testing::Test {
  protected:
    void SetUp() override {
        if (!TextDialogsSupported())
            GTEST_SKIP() << "this builder has no dialog-file library";
        project_ = scratch_.Path() / "project";
        WriteText(project_ / "project.ini", kSettings);
        WriteText(project_ / "setup.kvs", kScript);
        WriteText(project_ / "dialogs" / "welcome.txt", kWelcomeDialog);
        WriteText(project_ / "translations" / "German.txt", kGerman);
        WriteText(project_ / "translations" / "French.txt", kFrench);
        std::string messages;
        for (int line = 1; line <= 115; ++line) messages += "Meldung " + std::to_string(line) + "\r\n";
        WriteText(project_ / "translations" / "German.messages", messages);
        WriteText(project_ / "product.msi", "database");
        const std::vector<uint8_t> stub = test::FakeEngineStub(0x600);
        WriteText(scratch_.Path() / "engine.exe", std::string(stub.begin(), stub.end()));
        WriteText(scratch_.Path() / "oru.lib", "archive library");
    }

    BuildOptions Options(const std::string& outputName = "out") const {
        BuildOptions options;
        options.projectFolder = project_;
        options.outputFolder = scratch_.Path() / outputName;
        options.enginePath = scratch_.Path() / "engine.exe";
        options.oruPath = scratch_.Path() / "oru.lib";
        return options;
    }

    // Builds and extracts the support resource; returns the folder.
    fs::path BuildAndExtract() {
        if (!test::ProgramAvailable("7zz"))
            return {};
        (void)BuildSetup(Options());
        const fs::path support = scratch_.Path() / "support";
        const auto run = RunCommand("7zz x -y -o" + Quoted(support) + " " +
                                    Quoted(scratch_.Path() / "out" / "TidewaterSetup.res") + " >/dev/null");
        EXPECT_EQ(run.exitCode, 0);
        return support;
    }

    test::ScratchFolder scratch_;
    fs::path project_;
};

std::string StatementId(std::size_t index) {
    return DerivedStatementId(kProductCode, index);
}

TEST_F(TranslationFilesTest, EngineReadsTheTranslatedTextsOfEveryLanguage) {
    const fs::path support = BuildAndExtract();
    if (support.empty())
        GTEST_SKIP() << "7zz is not installed";
    EXPECT_EQ(FolderListing(support),
              (std::vector<std::string>{"Tidewater Timesheet.mtx", "shared.translations.German",
                                        "translations.English", "translations.French", "translations.German",
                                        "translations.Map", "translations.Original", "welcome.dfm",
                                        "welcome.dfm.oruf"}));

    Script script;
    script.title = "Tidewater Timesheet";
    RecordingTexts texts;
    ui::Translations translations(script, support.string(), texts);
    const std::string box = "{74193E47-71B5-4352-8E34-BB4E49ECFA76}";
    const std::string condition = StatementId(1);
    const std::string variable = "CODEGEAR$GREETING$CODEGEAR";

    struct Case {
        const char* language;
        std::string boxTitle, boxText, operand1, operand3, greeting, label, edit;
    };
    const Case cases[] = {
        {"German", "Willkommen", "Setup installiert $TITLE$.", "EDITION", "Gruppe", "Hallo",
         "Willkommen zum Setup", "Ihr Name"},
        {"French", "Bienvenue", "Setup will install $TITLE$.", "EDITION", "Team", "Bonjour", "Bienvenue",
         "Your name"},
        {"English", "Welcome", "Setup will install $TITLE$.", "EDITION", "Team", "Hello",
         "Welcome to the setup", "Your name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        translations.ReloadTranslations(c.language);
        EXPECT_EQ(translations.TranslateParameter("Welcome", box, 1), c.boxTitle);
        EXPECT_EQ(translations.TranslateParameter("Setup will install $TITLE$.", box, 2), c.boxText);
        EXPECT_EQ(translations.TranslateParameter("EDITION", condition, 1), c.operand1);
        // The condition's parameter 2 rides along untranslated between 1 and 3.
        EXPECT_EQ(translations.TranslateParameter("4", condition, 2), "4");
        EXPECT_EQ(translations.TranslateParameter("Team", condition, 3), c.operand3);
        EXPECT_EQ(translations.TranslateParameter("Hello", variable, 1), c.greeting);
        EXPECT_EQ(translations.TranslateDialogText("welcome.dfm", "TitleLabel", "base"), c.label);
        EXPECT_EQ(translations.TranslateDialogText("welcome.dfm", "NameEdit", "base"), c.edit);
    }
    EXPECT_EQ(translations.LineCount(), 8U);  // variable 1, condition 3, box 2, dialog 2
    ASSERT_EQ(texts.loaded.size(), 1U);
    EXPECT_TRUE(texts.loaded[0].ends_with("shared.translations.German"));

    // The originals are the project's own texts: the parameters and the dialog's caption and text.
    const std::vector<uint8_t> original = ReadBytes(support / "translations.Original");
    EXPECT_EQ(std::string(original.begin(), original.end()),
              "Hello\r\nEDITION\r\n4\r\nTeam\r\nWelcome\r\nSetup will install $TITLE$.\r\n"
              "Your name\r\nWelcome to the setup\r\n");
    const std::vector<uint8_t> map = ReadBytes(support / "translations.Map");
    EXPECT_EQ(std::string(map.begin(), map.end()),
              "setup.kvs\r\nsetup.kvs\r\nsetup.kvs\r\nsetup.kvs\r\nsetup.kvs\r\nsetup.kvs\r\n"
              "welcome.dfm\r\nwelcome.dfm\r\n");
}

TEST_F(TranslationFilesTest, SameProjectGivesTheSameBytes) {
    (void)BuildSetup(Options("first"));
    (void)BuildSetup(Options("second"));
    for (const char* file : {"TidewaterSetup.res", "TidewaterSetup.exe"}) {
        EXPECT_EQ(ReadBytes(scratch_.Path() / "first" / file), ReadBytes(scratch_.Path() / "second" / file))
            << file;
    }
    WriteText(project_ / "translations" / "French.txt", std::string(kFrench) + "NameEdit = Votre nom\n");
    (void)BuildSetup(Options("third"));
    EXPECT_NE(ReadBytes(scratch_.Path() / "first" / "TidewaterSetup.res"),
              ReadBytes(scratch_.Path() / "third" / "TidewaterSetup.res"));
}

TEST_F(TranslationFilesTest, BadTranslationsNameFileAndLineAndWriteNothing) {
    (void)BuildSetup(Options());
    const fs::path out = scratch_.Path() / "out";
    std::map<std::string, std::vector<uint8_t>> before;
    for (const auto& name : FolderListing(out)) before[name] = ReadBytes(out / name);
    const std::string german = (project_ / "translations" / "German.txt").string();
    const std::string settings = (project_ / "project.ini").string();
    const std::string script = (project_ / "setup.kvs").string();

    struct Breakage {
        const char* what;
        std::string file;      // the file written
        std::string content;   // its new content
        std::string expected;  // start of the message
    };
    const Breakage breakages[] = {
        {"unknown language", settings, kSettings + "Klingon = translations/French.txt\n",
         settings + ":14: \"Klingon\" is not a language"},
        {"shared file of an untranslated language", settings,
         kSettings + "Italian = translations/German.messages\n",
         settings + ":14: [shared translations] names Italian"},
        {"unknown statement name", german, "[statement goodbye-box]\n1 = x\n",
         german + ":1: the script has no statement with @name goodbye-box"},
        {"unknown statement id", german, "\n[statement {00000000-0000-0000-0000-000000000001}]\n",
         german + ":2: the script has no statement with id"},
        {"parameter the command does not translate", german, "[statement edition-check]\n1 = a\n2 = b\n",
         german + ":3: \"If\" does not translate parameter 2 (it translates 1, 3)"},
        {"parameter of a command that translates none", german, "[statement " + StatementId(4) + "]\n1 = x\n",
         german + ":2: \"Display Dialog\" does not translate"},
        {"not a parameter number", german, "[statement welcome-box]\ntitle = x\n",
         german + ":2: expected a parameter number"},
        {"unknown dialog", german, "[dialog goodbye]\n", german + ":1: the project has no dialog goodbye"},
        {"unknown control", german, "[dialog welcome]\nOkButton = OK\n",
         german + ":2: dialog welcome.dfm has no control named OkButton"},
        {"unknown variable", german, "[variables]\nFAREWELL = Tschüss\n",
         german + ":2: the script has no \"Localization Variable\" statement for FAREWELL"},
        {"text given twice", german, "[variables]\nGREETING = a\n# again\nGreeting = b\n",
         german + ":4: variable Greeting is translated twice"},
        {"entry before a section", german, "GREETING = a\n", german + ":1: entry before any"},
        {"unknown section", german, "[menus]\n", german + ":1: unknown section [menus]"},
        {"label used twice", script, std::string(kScript) + "End\n  @name WELCOME-BOX\n",
         script + ":22: @name WELCOME-BOX is already used by the statement in line 10"},
        {"short message file", (project_ / "translations" / "German.messages").string(), "only\r\ntwo\r\n",
         (project_ / "translations" / "German.messages").string() + ": a message file starts with a block"},
    };
    for (const Breakage& breakage : breakages) {
        SCOPED_TRACE(breakage.what);
        SetUp();
        WriteText(breakage.file, breakage.content);
        try {
            (void)BuildSetup(Options());
            ADD_FAILURE() << "the build succeeded";
        } catch (const BuildError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with(breakage.expected)) << error.what();
        }
        EXPECT_EQ(FolderListing(out).size(), before.size());
        for (const auto& [name, bytes] : before) EXPECT_EQ(ReadBytes(out / name), bytes) << name;
    }
}

TEST_F(TranslationFilesTest, ComponentCommandsTranslateTheirComponentName) {
    const std::string german = (project_ / "translations" / "German.txt").string();
    const std::string base(kGerman);
    const int sectionLine = static_cast<int>(std::count(base.begin(), base.end(), '\n')) + 1;
    for (const char* command : {"Delete Component", "Get Component State", "Set Component State",
                                "Get Component Space", "Set Component Space", "Set Component Choice",
                                "Set Component Visibility"}) {
        SCOPED_TRACE(command);
        SetUp();
        WriteText(project_ / "setup.kvs",
                  std::string(kScript) + command + "\n  @name component\n  | Tools\n  | RESULT\n");
        WriteText(german, base + "[statement component]\n1 = Werkzeuge\n");
        EXPECT_NO_THROW((void)BuildSetup(Options()));
        WriteText(german, base + "[statement component]\n2 = RESULT\n");
        try {
            (void)BuildSetup(Options("refused"));
            ADD_FAILURE() << "parameter 2 was accepted";
        } catch (const BuildError& error) {
            const std::string expected = german + ":" + std::to_string(sectionLine + 1) + ": \"" + command +
                                         "\" does not translate parameter 2 (it translates 1)";
            EXPECT_TRUE(std::string(error.what()).starts_with(expected)) << error.what();
        }
    }
}

}  // namespace
}  // namespace kaviro::builder
