#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <thread>

#include "engine/package_lookup.h"
#include "engine/package_reader.h"
#include "engine/stub_size.h"
#include "tests/unit/builder/builder_test_support.h"
#include "tools/builder/build_error.h"
#include "tools/builder/identifiers.h"
#include "tools/builder/setup_builder.h"
#include "tools/builder/text_dialog_compiler.h"

namespace kaviro::builder {
namespace {

namespace fs = std::filesystem;
using test::FolderListing;
using test::Quoted;
using test::ReadBytes;
using test::RunCommand;
using test::WriteText;

const char* const kSettings =
    "[setup]\n"
    "product code = {3B8F2C71-5D4E-4A96-9C0B-7E21D54A8F13}\n"
    "title = Tidewater Timesheet\n"
    "version = 2.4.1\n"
    "company = Harbour Lane Software\n"
    "contact = support@harbourlane.example\n"
    "help link = https://harbourlane.example/help\n"
    "update link = https://harbourlane.example/updates\n"
    "comments = Time tracking\n"
    "default language = English\n"
    "language prompt = TRUE\n"
    "media layout = 2\n"
    "output name = TidewaterSetup\n"
    "script = setup.kvs\n"
    "support folder = support\n"
    "dialogs folder = dialogs\n"
    "msi file = product.msi\n"
    "[build settings]\n"
    "SINGLEINSTANCE = TRUE\n"
    "[components]\n"
    "Tools = 2048\n"
    "VELK-PREDEF-COMPONENT = 100\n"
    "[media passwords]\n"
    "offline = x1y2\n";

const char* const kScript =
    "Set Variable\n"  // 0
    "  | NAME\n"
    "  | $\n"
    "Display Dialog\n"  // 3
    "  | welcome\n"
    "End\n"  // 5
    "# a comment\n"
    "Install Files\n"  // 7
    "  @media OFFLINE\\\n"
    "  @disabled\n"
    "  | files\n"
    "Write Registry\n"  // 11
    "  @id {00000000-1111-2222-3333-444444444444}\n"
    "  |\n";

class SetupBuilderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        project_ = scratch_.Path() / "project";
        WriteText(project_ / "project.ini", kSettings);
        WriteText(project_ / "setup.kvs", kScript);
        WriteText(project_ / "support" / "licence.txt", "Licence text\r\n");
        WriteText(project_ / "support" / "pictures" / "logo.bmp", "BM fake picture");
        WriteText(project_ / "dialogs" / "welcome.dfm", "compiled welcome dialog");
        WriteText(project_ / "dialogs" / "welcome.oruf", "Edit1,OnChange,rule");
        WriteText(project_ / "dialogs" / "finish.dfm", "compiled finish dialog");
        WriteText(project_ / "product.msi", "not really an installer database");
        const auto stub = test::FakeEngineStub(kStubSize);
        WriteText(scratch_.Path() / "engine.exe", std::string(stub.begin(), stub.end()));
        WriteText(scratch_.Path() / "oru.lib", "archive library bytes");
    }

    BuildOptions Options(const std::string& outputName = "out") const {
        BuildOptions options;
        options.projectFolder = project_;
        options.outputFolder = scratch_.Path() / outputName;
        options.enginePath = scratch_.Path() / "engine.exe";
        options.oruPath = scratch_.Path() / "oru.lib";
        return options;
    }

    static constexpr uint32_t kStubSize = 0x600;
    test::ScratchFolder scratch_;
    fs::path project_;
};

TEST_F(SetupBuilderTest, PackageReadsBackBehindTheStub) {
    const BuildResult result = BuildSetup(Options());
    const fs::path out = scratch_.Path() / "out";
    EXPECT_EQ(FolderListing(out), (std::vector<std::string>{"TidewaterSetup.exe", "TidewaterSetup.msi",
                                                            "TidewaterSetup.res", "oru.lib"}));
    EXPECT_TRUE(result.warnings.empty());

    const auto setup = ReadBytes(out / "TidewaterSetup.exe");
    ASSERT_EQ(PackageStubSize(setup), kStubSize);
    EXPECT_EQ(std::vector<uint8_t>(setup.begin(), setup.begin() + kStubSize),
              test::FakeEngineStub(kStubSize));
    const std::string text(setup.begin() + kStubSize, setup.end());
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);  // CRLF line ends
    const Script script = ParsePackage(text);

    EXPECT_EQ(script.statementNames,
              (TextList{"Set Variable", "Display Dialog", "End", "Install Files", "Write Registry"}));
    ASSERT_EQ(script.statementIds.size(), 5u);
    EXPECT_EQ(script.statementIds[0], DerivedStatementId("{3B8F2C71-5D4E-4A96-9C0B-7E21D54A8F13}", 0));
    EXPECT_EQ(script.statementIds[4], "{00000000-1111-2222-3333-444444444444}");
    EXPECT_EQ(GetParameter(script, script.statementIds[0], 1), "NAME");
    EXPECT_EQ(GetParameter(script, script.statementIds[0], 2), "$");  // written as $DOLLAR$
    EXPECT_EQ(GetParameter(script, script.statementIds[1], 1), "welcome");
    EXPECT_EQ(GetParameter(script, script.statementIds[4], 1), "");
    EXPECT_EQ(script.parameters.size(), 3u + 2u + 2u + 2u);  // End has no entry
    EXPECT_EQ(script.statementFlags, (TextList{"", "", "", "C", ""}));
    EXPECT_EQ(script.statementMediaFolders, (TextList{"", "", "", "OFFLINE\\", ""}));

    EXPECT_EQ(script.productCode, "{3B8F2C71-5D4E-4A96-9C0B-7E21D54A8F13}");
    EXPECT_EQ(script.title, "Tidewater Timesheet");
    EXPECT_EQ(script.company, "Harbour Lane Software");
    EXPECT_EQ(script.contact, "support@harbourlane.example");
    EXPECT_EQ(script.helpLink, "https://harbourlane.example/help");
    EXPECT_EQ(script.updateLink, "https://harbourlane.example/updates");
    EXPECT_EQ(script.comments, "Time tracking");
    EXPECT_EQ(script.version, "2.4.1");
    EXPECT_EQ(script.mediaPasswords, (TextList{"offline", "x1y2"}));
    EXPECT_EQ(script.mediaLayoutCode, 2);
    EXPECT_EQ(script.componentSection, (TextList{"VELK-PREDEF-COMPONENT", "100", "TOOLS", "2048"}));
    EXPECT_EQ(script.revisionCode, result.revisionCode);
    EXPECT_TRUE(NormalizeGuid(script.revisionCode));
    EXPECT_TRUE(script.languagePrompt);
    EXPECT_EQ(script.defaultLanguage, "English");
    EXPECT_EQ(script.buildSettings, (TextList{"SINGLEINSTANCE", "TRUE"}));
    EXPECT_EQ(script.codePage, 1252);

    // Header codes for the two header commands (the disabled one included).
    ASSERT_EQ(script.commandHeaders.size(), 4u);
    EXPECT_EQ(script.commandHeaders[1], "3");
    EXPECT_EQ(script.commandHeaders[3], "4");
    for (const auto& code : {script.commandHeaders[0], script.commandHeaders[2]}) {
        EXPECT_EQ(code.size(), 8u);
        EXPECT_EQ(code.find_first_not_of("0123456789ABCDEF"), std::string::npos) << code;
    }
    EXPECT_EQ(GetCommandHeader(script, 3, HeaderLookup::Strict), script.commandHeaders[0]);
    EXPECT_EQ(GetCommandHeader(script, 1, HeaderLookup::Lenient), "");

    const std::string scriptPath = (project_ / "setup.kvs").string();
    EXPECT_EQ(script.sourceMap, (TextList{scriptPath + "*0", scriptPath + "*3", scriptPath + "*5",
                                          scriptPath + "*7", scriptPath + "*11"}));
    EXPECT_EQ(SourcePosition(script, 3).fileName, "setup");
    EXPECT_EQ(SourcePosition(script, 3).line, 8);

    EXPECT_EQ(ReadBytes(out / "TidewaterSetup.msi"), ReadBytes(project_ / "product.msi"));
    EXPECT_EQ(ReadBytes(out / "oru.lib"), ReadBytes(scratch_.Path() / "oru.lib"));
}

TEST_F(SetupBuilderTest, SupportResourceHoldsSupportFilesAndDialogsWithRules) {
    if (!test::ProgramAvailable("7zz"))
        GTEST_SKIP() << "7zz is not installed";
    (void)BuildSetup(Options());
    const fs::path extracted = scratch_.Path() / "extracted";
    const auto run = RunCommand("7zz x -y -o" + Quoted(extracted) + " " +
                                Quoted(scratch_.Path() / "out" / "TidewaterSetup.res"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(FolderListing(extracted),
              (std::vector<std::string>{"finish.dfm", "finish.dfm.oruf", "licence.txt", "pictures",
                                        "welcome.dfm", "welcome.dfm.oruf"}));
    EXPECT_EQ(ReadBytes(extracted / "pictures" / "logo.bmp"),
              ReadBytes(project_ / "support/pictures/logo.bmp"));
    EXPECT_EQ(ReadBytes(extracted / "welcome.dfm"), ReadBytes(project_ / "dialogs/welcome.dfm"));
    EXPECT_EQ(ReadBytes(extracted / "welcome.dfm.oruf"), ReadBytes(project_ / "dialogs/welcome.oruf"));
    EXPECT_TRUE(ReadBytes(extracted / "finish.dfm.oruf").empty());
}

TEST_F(SetupBuilderTest, SameInputGivesTheSameBytes) {
    const BuildResult first = BuildSetup(Options("first"));
    const BuildResult second = BuildSetup(Options("second"));
    EXPECT_EQ(first.revisionCode, second.revisionCode);
    for (const char* name : {"TidewaterSetup.exe", "TidewaterSetup.res", "TidewaterSetup.msi", "oru.lib"}) {
        EXPECT_EQ(ReadBytes(scratch_.Path() / "first" / name), ReadBytes(scratch_.Path() / "second" / name))
            << name;
    }
    // Any changed input gives another revision.
    WriteText(project_ / "support" / "licence.txt", "Licence text, revised\r\n");
    EXPECT_NE(BuildSetup(Options("third")).revisionCode, first.revisionCode);
}

TEST_F(SetupBuilderTest, UnknownStatementNamesAreReported) {
    WriteText(project_ / "setup.kvs", "set variable\n  | A\n  | 1\nShow Fireworks\nEnd\n");
    const BuildResult result = BuildSetup(Options());
    const std::string scriptPath = (project_ / "setup.kvs").string();
    ASSERT_EQ(result.warnings.size(), 2u);
    EXPECT_TRUE(result.warnings[0].starts_with(scriptPath + ":1:")) << result.warnings[0];
    EXPECT_NE(result.warnings[0].find("did you mean \"Set Variable\""), std::string::npos)
        << result.warnings[0];
    EXPECT_TRUE(result.warnings[1].starts_with(scriptPath + ":4:")) << result.warnings[1];
}

TEST_F(SetupBuilderTest, EngineBytesBehindTheLastSectionAreDropped) {
    auto engine = test::FakeEngineStub(kStubSize);
    const std::string old = "old package text";
    engine.insert(engine.end(), old.begin(), old.end());
    WriteText(scratch_.Path() / "engine.exe", std::string(engine.begin(), engine.end()));
    const BuildResult result = BuildSetup(Options());
    EXPECT_EQ(result.warnings.size(), 1u);
    const auto setup = ReadBytes(scratch_.Path() / "out" / "TidewaterSetup.exe");
    EXPECT_EQ(std::vector<uint8_t>(setup.begin(), setup.begin() + kStubSize),
              test::FakeEngineStub(kStubSize));
    EXPECT_NO_THROW((void)ParsePackage(std::string(setup.begin() + kStubSize, setup.end())));
}

// Each breakage fails the build with a message naming the culprit, and the
// output folder keeps exactly the complete setup of the build before.
TEST_F(SetupBuilderTest, FailedBuildLeavesNoHalfWrittenSetup) {
    (void)BuildSetup(Options());
    const fs::path out = scratch_.Path() / "out";
    std::map<std::string, std::vector<uint8_t>> before;
    for (const auto& name : FolderListing(out)) before[name] = ReadBytes(out / name);
    const std::string scriptPath = (project_ / "setup.kvs").string();
    const std::string settingsPath = (project_ / "project.ini").string();

    struct Breakage {
        const char* what;
        std::function<void()> apply;
        std::string expected;  // start of the message
    };
    const std::vector<Breakage> breakages = {
        {"parameter before statement", [&] { WriteText(project_ / "setup.kvs", "| early\nEnd\n"); },
         scriptPath + ":1:"},
        {"unterminated id",
         [&] { WriteText(project_ / "setup.kvs", std::string(kScript) + "End\n  @id {12\n"); },
         scriptPath + ":16:"},
        {"duplicate id",
         [&] {
             WriteText(project_ / "setup.kvs",
                       std::string(kScript) + "End\n  @id {00000000-1111-2222-3333-444444444444}\n");
         },
         scriptPath + ":15:"},
        {"unknown setting",
         [&] { WriteText(project_ / "project.ini", std::string(kSettings) + "[setup]\n"); },
         settingsPath + ":25:"},
        {"missing script", [&] { fs::remove(project_ / "setup.kvs"); }, scriptPath + ": file not found"},
        {"missing database", [&] { fs::remove(project_ / "product.msi"); },
         (project_ / "product.msi").string() + ": file not found"},
        {"missing archive library", [&] { fs::remove(scratch_.Path() / "oru.lib"); },
         (scratch_.Path() / "oru.lib").string() + ": the archive library oru.lib is missing"},
        {"engine not an image", [&] { WriteText(scratch_.Path() / "engine.exe", "MZ but nothing else"); },
         (scratch_.Path() / "engine.exe").string() + ": not a usable engine stub"},
        {"stray dialog file", [&] { WriteText(project_ / "dialogs" / "notes.doc", "x"); },
         (project_ / "dialogs" / "notes.doc").string() + ": not a dialog file"},
        {"rules without dialog", [&] { WriteText(project_ / "dialogs" / "lonely.oruf", "x"); },
         (project_ / "dialogs" / "lonely.oruf").string() + ": rules file without a dialog"},
        {"link to a folder",
         [&] { fs::create_directory_symlink(project_ / "support", project_ / "support" / "loop"); },
         (project_ / "support" / "loop").string() + ": links to folders are not followed"},
        {"support file shadows a dialog", [&] { WriteText(project_ / "support" / "Welcome.dfm", "x"); },
         "support resource: two archive entries"},
        {"value the package cannot carry",
         [&] { WriteText(project_ / "project.ini", std::string(kSettings) + "block2 = $\n"); },
         "the package cannot carry"},
    };
    for (const auto& breakage : breakages) {
        fs::remove_all(project_);  // a fresh, valid project before each breakage
        SetUp();
        breakage.apply();
        try {
            (void)BuildSetup(Options());
            ADD_FAILURE() << breakage.what << ": the build succeeded";
        } catch (const BuildError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with(breakage.expected))
                << breakage.what << ": " << error.what();
        }
        std::map<std::string, std::vector<uint8_t>> after;
        for (const auto& name : FolderListing(out)) after[name] = ReadBytes(out / name);
        EXPECT_EQ(after, before) << breakage.what;
    }
}

TEST_F(SetupBuilderTest, TextDialogsGoThroughTheDialogCompiler) {
    fs::remove(project_ / "dialogs" / "finish.dfm");
    WriteText(project_ / "dialogs" / "finish.txt", "object PoolTemplate: TPoolTemplate\nend\n");
    if (!TextDialogsSupported()) {
        try {
            (void)BuildSetup(Options());
            ADD_FAILURE() << "a text dialog was accepted without the dialog compiler";
        } catch (const BuildError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with((project_ / "dialogs" / "finish.txt").string()))
                << error.what();
        }
        return;
    }
    const auto expected = CompileTextDialog("object PoolTemplate: TPoolTemplate\nend\n", "finish.txt");
    (void)BuildSetup(Options());
    if (!test::ProgramAvailable("7zz"))
        GTEST_SKIP() << "7zz is not installed";
    const fs::path extracted = scratch_.Path() / "extracted";
    ASSERT_EQ(RunCommand("7zz x -y -o" + Quoted(extracted) + " " +
                         Quoted(scratch_.Path() / "out" / "TidewaterSetup.res"))
                  .exitCode,
              0);
    EXPECT_EQ(ReadBytes(extracted / "finish.dfm"), expected);
}

const char* const kWixSource =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n"
    "  <Product Id=\"{3B8F2C71-5D4E-4A96-9C0B-7E21D54A8F13}\" Name=\"Tidewater\" Language=\"1033\"\n"
    "           Version=\"2.4.1\" Manufacturer=\"Harbour Lane\" "
    "UpgradeCode=\"{9D41E6A2-0C37-4B58-8E1F-2A6B3C7D5E90}\">\n"
    "    <Package InstallerVersion=\"200\" Compressed=\"yes\" InstallScope=\"perMachine\"/>\n"
    "    <Media Id=\"1\" Cabinet=\"product.cab\" EmbedCab=\"yes\"/>\n"
    "    <Directory Id=\"TARGETDIR\" Name=\"SourceDir\">\n"
    "      <Directory Id=\"ProgramFilesFolder\">\n"
    "        <Directory Id=\"INSTALLDIR\" Name=\"Tidewater\">\n"
    "          <Component Id=\"Settings\" Guid=\"{5E2A7B14-9C3D-4F60-A1B8-6D0E2F4C8A37}\">\n"
    "            <File Id=\"SettingsIni\" Name=\"settings.ini\" Source=\"files/settings.ini\" "
    "KeyPath=\"yes\"/>\n"
    "          </Component>\n"
    "        </Directory>\n"
    "      </Directory>\n"
    "    </Directory>\n"
    "    <Feature Id=\"Main\" Level=\"1\"><ComponentRef Id=\"Settings\"/></Feature>\n"
    "  </Product>\n"
    "</Wix>\n";

TEST_F(SetupBuilderTest, WixSourceIsCompiledTheSameWayEveryTime) {
    if (!test::ProgramAvailable("wixl") || !test::ProgramAvailable("msiinfo")) {
        GTEST_SKIP() << "wixl or msiinfo is not installed";
    }
    std::string settings = kSettings;
    settings.replace(settings.find("msi file = product.msi"), 22, "wxs file = product.wxs");
    WriteText(project_ / "project.ini", settings);
    WriteText(project_ / "product.wxs", kWixSource);
    WriteText(project_ / "files" / "settings.ini", "[General]\nEdition=Standard\n");

    const BuildResult first = BuildSetup(Options("first"));
    EXPECT_TRUE(first.warnings.empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // wixl stamps the time in seconds
    (void)BuildSetup(Options("second"));
    const fs::path database = scratch_.Path() / "first" / "TidewaterSetup.msi";
    EXPECT_EQ(ReadBytes(database), ReadBytes(scratch_.Path() / "second" / "TidewaterSetup.msi"));
    EXPECT_EQ(FolderListing(scratch_.Path() / "first"),
              (std::vector<std::string>{"TidewaterSetup.exe", "TidewaterSetup.msi", "TidewaterSetup.res",
                                        "oru.lib"}));

    const auto summary = RunCommand("msiinfo suminfo " + Quoted(database));
    ASSERT_EQ(summary.exitCode, 0) << summary.output;
    EXPECT_EQ(summary.output.find("{00000000-0000-0000-0000-000000000000}"), std::string::npos)
        << summary.output;
    EXPECT_NE(summary.output.find("Created: Sat Jan  1 00:00:00 2000"), std::string::npos) << summary.output;
    const auto files = RunCommand("msiinfo export " + Quoted(database) + " File");
    EXPECT_NE(files.output.find("settings.ini"), std::string::npos) << files.output;

    // A WiX source that wixl rejects fails the build and leaves nothing behind.
    WriteText(project_ / "product.wxs", "<Wix><Product></Wix>");
    EXPECT_THROW((void)BuildSetup(Options("broken")), BuildError);
    EXPECT_TRUE(FolderListing(scratch_.Path() / "broken").empty());
}

// The sample project of the repository builds with every statement intact.
TEST(SampleProject, Builds) {
    if (!test::ProgramAvailable("wixl"))
        GTEST_SKIP() << "wixl is not installed";
    test::ScratchFolder scratch;
    const auto stub = test::FakeEngineStub(0x400);
    WriteText(scratch.Path() / "engine.exe", std::string(stub.begin(), stub.end()));
    WriteText(scratch.Path() / "oru.lib", "archive library");
    BuildOptions options;
    options.projectFolder = fs::path(KAVIRO_SOURCE_DIR) / "sample";
    options.outputFolder = scratch.Path() / "out";
    options.enginePath = scratch.Path() / "engine.exe";
    options.oruPath = scratch.Path() / "oru.lib";
    const BuildResult result = BuildSetup(options);
    EXPECT_TRUE(result.warnings.empty());
    const auto setup = ReadBytes(scratch.Path() / "out" / "TidewaterSetup.exe");
    const Script script = ParsePackage(std::string(setup.begin() + 0x400, setup.end()));
    EXPECT_EQ(script.title, "Tidewater Timesheet");
    EXPECT_EQ(script.statementNames.front(), "Comment");
    EXPECT_NE(std::find(script.statementFlags.begin(), script.statementFlags.end(), "C"),
              script.statementFlags.end());
    EXPECT_EQ(script.statementNames.size(), script.sourceMap.size());
}

}  // namespace
}  // namespace kaviro::builder
