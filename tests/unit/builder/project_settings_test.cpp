#include <gtest/gtest.h>

#include <string>

#include "tools/builder/build_error.h"
#include "tools/builder/project_settings.h"

namespace kaviro::builder {
namespace {

const std::string kMinimal =
    "[setup]\n"
    "product code = {3b8f2c71-5d4e-4a96-9c0b-7e21d54a8f13}\n"
    "title = Sample\n"
    "version = 1.0\n"
    "output name = SampleSetup\n"
    "script = setup.kvs\n"
    "msi file = product.msi\n";

TEST(ProjectSettings, ReadsEveryKeyAndKeepsListOrder) {
    const std::string text =
        "; comment\n"
        "[Setup]\n"
        "Product Code = {3b8f2c71-5d4e-4a96-9c0b-7e21d54a8f13}\n"
        "title  =  Tidewater Timesheet  \n"
        "version = 2.4.1\n"
        "company = Harbour Lane\n"
        "contact = a@b.example\n"
        "help link = https://h.example/?a=b\n"
        "update link = https://u.example\n"
        "comments = x = y\n"
        "default language = German\n"
        "language prompt = true\n"
        "media layout = 2\n"
        "code page = 1250\n"
        "output name = TidewaterSetup\n"
        "script = src/setup.kvs\n"
        "support folder = support\n"
        "dialogs folder = dialogs\n"
        "wxs file = product.wxs\n"
        "[build settings]\n"
        "ZETA = last\n"
        "ALPHA =\n"
        "[components]\n"
        "Tools\\Help = 1024\n"
        "VELK-PREDEF-COMPONENT = 99\n"
        "[media passwords]\n"
        "offline = scrambled\n";
    const ProjectSettings settings = ParseProjectSettings(text, "p.ini");
    EXPECT_EQ(settings.productCode, "{3B8F2C71-5D4E-4A96-9C0B-7E21D54A8F13}");
    EXPECT_EQ(settings.title, "Tidewater Timesheet");
    EXPECT_EQ(settings.comments, "x = y");
    EXPECT_EQ(settings.helpLink, "https://h.example/?a=b");
    EXPECT_EQ(settings.defaultLanguage, "German");
    EXPECT_TRUE(settings.languagePrompt);
    EXPECT_EQ(settings.mediaLayoutCode, 2);
    EXPECT_EQ(settings.codePage, 1250);
    EXPECT_EQ(settings.scriptFile, "src/setup.kvs");
    EXPECT_EQ(settings.wxsFile, "product.wxs");
    EXPECT_TRUE(settings.msiFile.empty());
    ASSERT_EQ(settings.buildSettings.size(), 2u);
    EXPECT_EQ(settings.buildSettings[0], (std::pair<std::string, std::string>{"ZETA", "last"}));
    EXPECT_EQ(settings.buildSettings[1], (std::pair<std::string, std::string>{"ALPHA", ""}));
    ASSERT_EQ(settings.components.size(), 2u);
    EXPECT_EQ(settings.components[0].name, "TOOLS\\HELP");
    EXPECT_EQ(settings.components[0].size, 1024u);
    EXPECT_EQ(settings.mediaPasswords.size(), 1u);
}

TEST(ProjectSettings, DefaultsOfOptionalKeys) {
    const ProjectSettings settings = ParseProjectSettings(kMinimal, "p.ini");
    EXPECT_EQ(settings.defaultLanguage, "English");
    EXPECT_FALSE(settings.languagePrompt);
    EXPECT_EQ(settings.mediaLayoutCode, 1);
    EXPECT_EQ(settings.codePage, 1252);
    EXPECT_TRUE(settings.supportFolder.empty());
}

TEST(ProjectSettings, BadInputNamesFileAndLine) {
    struct BadSettings {
        std::string text;
        const char* location;
        const char* reason;
    };
    const BadSettings cases[] = {
        {kMinimal + "colour = blue\n", "p.ini:8:", "unknown key \"colour\""},
        {kMinimal + "title = again\n", "p.ini:8:", "given twice"},
        {"title = x\n" + kMinimal, "p.ini:1:", "before any [section]"},
        {kMinimal + "[setup\n", "p.ini:8:", "unterminated section header"},
        {kMinimal + "[extras]\n", "p.ini:8:", "unknown section"},
        {kMinimal + "[setup]\n", "p.ini:8:", "given twice"},
        {kMinimal + "just words\n", "p.ini:8:", "key = value"},
        {kMinimal + "media layout = 4\n", "p.ini:8:", "1, 2 or 3"},
        {kMinimal + "code page = abc\n", "p.ini:8:", "decimal integer"},
        {kMinimal + "language prompt = maybe\n", "p.ini:8:", "TRUE or FALSE"},
        {kMinimal + "[components]\nCore = 12kB\n", "p.ini:9:", "decimal number of bytes"},
        {kMinimal + "[components]\nCore = 1\ncore = 2\n", "p.ini:10:", "given twice"},
        {kMinimal + "[build settings]\nA = 1\na = 2\n", "p.ini:10:", "given twice"},
        {kMinimal + "wxs file = product.wxs\n", "p.ini:1:", "exactly one of"},
        {"[setup]\ntitle = x\n", "p.ini:1:", "\"product code\""},
        {"[build settings]\n", "p.ini:1:", "no [setup] section"},
        {"[setup]\nproduct code = 3B8F2C71\n", "p.ini:2:", "GUID"},
        {"[setup]\noutput name = out/setup\n", "p.ini:2:", "plain file name"},
        {"[setup]\ntitle = a\rb\n", "p.ini:2:", "line break"},
    };
    for (const auto& bad : cases) {
        try {
            (void)ParseProjectSettings(bad.text, "p.ini");
            ADD_FAILURE() << "accepted: " << bad.text;
        } catch (const BuildError& error) {
            const std::string message = error.what();
            EXPECT_TRUE(message.starts_with(bad.location)) << message;
            EXPECT_NE(message.find(bad.reason), std::string::npos) << message;
        }
    }
}

}  // namespace
}  // namespace kaviro::builder
