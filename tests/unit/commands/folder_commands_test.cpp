#include "commands/folder_commands.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fake_file_access.h"
#include "script/header_commands.h"
#include "script/run_context.h"
#include "tests/unit/script/script_builder.h"

namespace kaviro::commands {
namespace {

using script::RunContext;
using script::RunEnvironment;
using script::TextList;
using script::TVariableManager;
using script::testing::ScriptBuilder;
using testing::FakeFileAccess;

class FolderCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override { script::InstallerPropertyQueue().Clear(); }
    void TearDown() override { script::InstallerPropertyQueue().Clear(); }

    RunContext& Context(const Script& script) {
        environment_.variables = &variables_;
        context_ = std::make_unique<RunContext>(script, environment_);
        return *context_;
    }

    TVariableManager variables_;
    RunEnvironment environment_;
    std::unique_ptr<RunContext> context_;
};

TEST_F(FolderCommandsTest, HeaderCommandsHandOverTheirCleanedPathsAfterSwitchingThemselvesOn) {
    Script script = ScriptBuilder()
                        .Add("Create Folder", {"$ROOT$\\\\New  Folder"})
                        .Add("Copy/Move Local Files", {"$ROOT$\\\\*.cfg", "ignored", "\\\\server\\share\\$SUB$"})
                        .Add("Delete Files", {"$$ROOT$\\Old\\*.tmp", "", "TRUE", "FALSE"})
                        .Build();
    script.commandHeaders = {"0000CF01", "0", "0000CE02", "1", "0000DF03", "2"};
    RunContext& context = Context(script);
    context.executionList = {"FALSE", "FALSE", "FALSE"};
    variables_.Set("ROOT", "C:\\\\Base");
    variables_.Set("SUB", "Data\\\\Copy");
    // "$$ROOT$" expands to "$C:\Base"... once more it stays: no variable of that name.
    const struct {
        std::size_t index;
        void (*command)(RunContext&, std::size_t);
        TextList properties;
    } cases[] = {
        {0, CreateFolderCommand, {"A0000CF01", "TRUE", "P0000CF01_1", "C:\\Base\\New  Folder"}},
        {1, CopyMoveLocalFilesCommand,
         {"A0000CE02", "TRUE", "P0000CE02_1", "C:\\Base\\*.cfg", "P0000CE02_2", "\\\\server\\share\\Data\\Copy"}},
        {2, DeleteFilesCommand, {"A0000DF03", "TRUE", "P0000DF03_1", "$C:\\Base\\Old\\*.tmp"}},
    };
    TextList all;
    for (const auto& c : cases) {
        context.propertyList.clear();
        c.command(context, c.index);
        EXPECT_EQ(context.propertyList, c.properties) << c.index;
        EXPECT_EQ(context.executionList[c.index], "TRUE");
        all.insert(all.end(), c.properties.begin(), c.properties.end());
    }
    TextList queued;
    for (std::size_t i = 0; i < script::InstallerPropertyQueue().Names().size(); ++i) {
        queued.push_back(script::InstallerPropertyQueue().Names()[i]);
        queued.push_back(script::InstallerPropertyQueue().Values()[i]);
    }
    EXPECT_EQ(queued, all);
}

TEST_F(FolderCommandsTest, ParametersAreExpandedTwice) {
    Script script = ScriptBuilder().Add("Create Folder", {"$$B$"}).Build();
    script.commandHeaders = {"0000CF01", "0"};
    RunContext& context = Context(script);
    // "$$B$": the first expansion turns it into "$A$" (the scan has moved
    // past the first "$"); only the second expansion sees that reference.
    variables_.Set("B", "A$");
    variables_.Set("A", "C:\\Inner");
    CreateFolderCommand(context, 0);
    EXPECT_EQ(context.propertyList, (TextList{"A0000CF01", "TRUE", "P0000CF01_1", "C:\\Inner"}));
}

FakeFileAccess ProgramFiles() {
    FakeFileAccess files;
    files.Add("C:\\Program Files\\", "C:\\PROGRA~1")
        .Add("C:\\Program Files\\Kaviro App\\", "C:\\PROGRA~1\\KAVIRO~1")
        .Add("C:\\Program Files\\Kaviro App\\Read Me.txt", "C:\\PROGRA~1\\KAVIRO~1\\README~1.TXT");
    return files;
}

TEST_F(FolderCommandsTest, ConvertPathGivesTheLongFormElementByElementAndTheShortFormOfExistingPaths) {
    const struct {
        std::string value;
        std::string shortFlag;
        std::string expected;
    } cases[] = {
        {"c:\\program files\\kaviro app\\", "FALSE", "c:\\Program Files\\Kaviro App"},
        {"C:\\PROGRA~1\\KAVIRO~1\\README~1.TXT", "FALSE", "C:\\Program Files\\Kaviro App\\Read Me.txt"},
        {"C:\\\\PROGRA~1\\\\KAVIRO~1", "false", "C:\\Program Files\\Kaviro App"},
        {"C:\\PROGRA~1\\Missing\\x.txt", "FALSE", "C:\\PROGRA~1\\Missing\\x.txt"},
        {"C:\\", "FALSE", "C:\\"},
        {"D:", "FALSE", "D:"},
        {"\\\\server\\share\\", "FALSE", "\\\\server\\share\\"},
        {"relative", "FALSE", "relative"},
        {"C:\\Program Files\\Kaviro App\\Read Me.txt", "TRUE", "C:\\PROGRA~1\\KAVIRO~1\\README~1.TXT"},
        {"C:\\\\Program Files", "TRUE", "C:\\PROGRA~1"},
        {"C:\\Nowhere\\", "TRUE", "C:\\Nowhere\\"},
    };
    for (const auto& c : cases) {
        FakeFileAccess files = ProgramFiles();
        const Script script = ScriptBuilder().Add("Convert Path", {"$APPDIR$", c.shortFlag}).Build();
        RunContext& context = Context(script);
        variables_.Set("APPDIR", c.value);
        ConvertPathCommand(files, context, 0);
        EXPECT_EQ(variables_.Get("APPDIR"), c.expected) << c.value << " short=" << c.shortFlag;
    }
}

TEST_F(FolderCommandsTest, GetTemporaryFileMakesANewEmptyFileInTempdirEachTime) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kaviro-temporary-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const Script script = ScriptBuilder().Add("Get Temporary File", {"$tmpfile$"}).Build();
    RunContext& context = Context(script);
    variables_.Set("TEMPDIR", folder.string() + "/");
    std::string previous;
    for (int i = 0; i < 2; ++i) {
        GetTemporaryFileCommand(PlatformFileAccess(), context, 0);
        ASSERT_TRUE(variables_.Exists("TMPFILE"));
        const std::string path = variables_.Get("TMPFILE");
        EXPECT_EQ(path.rfind(folder.string() + "/oru", 0), 0u) << path;
        EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
        EXPECT_EQ(std::filesystem::file_size(path), 0u);
        EXPECT_NE(path, previous);
        previous = path;
    }
    std::filesystem::remove_all(folder);
}

TEST_F(FolderCommandsTest, FindAllFilesStoresTheListingAsBarSeparatedText) {
    FakeFileAccess files;
    files.Add("R\\").Add("R\\Sub\\").Add("R\\Sub\\in.txt").Add("R\\my file.txt").Add("R\\other.dat");
    const struct {
        std::string pattern;
        std::string recurse;
        std::string folders;
        std::string expected;
    } cases[] = {
        {"R\\*.txt", "TRUE", "TRUE", "R\\Sub\\in.txt|R\\Sub|\"R\\my file.txt\""},
        {"R\\*.txt", "FALSE", "FALSE", "\"R\\my file.txt\""},
        {"R\\*.none", "TRUE", "FALSE", ""},
    };
    for (const auto& c : cases) {
        const Script script = ScriptBuilder().Add("Find All Files", {"$BASE$", c.recurse, c.folders, "$FOUND$"}).Build();
        RunContext& context = Context(script);
        variables_.Set("BASE", c.pattern);
        variables_.Set("VELK_IsCancelled", "FALSE");
        FindAllFilesCommand(files, context, 0);
        EXPECT_EQ(variables_.Get("FOUND"), c.expected) << c.pattern;
        // Each file found is reported as progress text: the last one stays.
        if (!c.expected.empty()) {
            EXPECT_EQ(variables_.Get("VELK_thProgressText"), "R\\my file.txt");
        }
    }
}

TEST_F(FolderCommandsTest, ACancelledSearchKeepsWhatItFoundUnlessTheRunEnds) {
    for (const bool abortOnError : {false, true}) {
        FakeFileAccess files;
        files.Add("R\\").Add("R\\a.txt").Add("R\\b.txt");
        const Script script = ScriptBuilder().Add("Find All Files", {"R\\*.txt", "TRUE", "FALSE", "FOUND"}).Build();
        RunContext& context = Context(script);
        variables_.SetSilent(true);
        variables_.Set("FOUND", "before");
        variables_.Set("ABORTEDONERROR", "FALSE");
        variables_.Set("ABORTONERROR", abortOnError ? "TRUE" : "FALSE");
        variables_.Set("VELK_IsCancelled", "TRUE");
        FindAllFilesCommand(files, context, 0);
        EXPECT_EQ(context.Ended(), abortOnError);
        const std::string found = variables_.Get("FOUND");
        if (abortOnError) {
            EXPECT_EQ(found, "before");
            EXPECT_EQ(variables_.Get("ABORTEDONERROR"), "FALSE");
        } else {
            // The stop may reach the worker before its first file or after any of them.
            EXPECT_TRUE(found == "" || found == "R\\a.txt" || found == "R\\a.txt|R\\b.txt") << found;
            EXPECT_EQ(variables_.Get("ABORTEDONERROR"), "TRUE");
        }
    }
}

TEST_F(FolderCommandsTest, DeleteFilesRecursiveActsAtOnceOnTheCleanedPattern) {
    FakeFileAccess files;
    files.Add("C:\\Work\\").Add("C:\\Work\\Sub\\").Add("C:\\Work\\Sub\\a.txt").Add("C:\\Work\\b.txt");
    const Script script = ScriptBuilder().Add("Delete Files Recursive", {"$WORK$\\\\*.*"}).Build();
    RunContext& context = Context(script);
    variables_.Set("WORK", "C:\\Work");
    DeleteFilesRecursiveCommand(files, context, 0);
    EXPECT_EQ(files.Paths(), (TextList{"C:\\Work"}));
}

// The native file system behind the same utilities: backslash paths read as slashes.
TEST(PlatformFileAccess, ListsAndDeletesARealTree) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("kaviro-listing-" + std::to_string(getpid()));
    fs::create_directories(root / "sub" / "deep");
    std::ofstream(root / "sub" / "deep" / "d.TXT") << "d";
    std::ofstream(root / "sub" / "skip.dat") << "s";
    std::ofstream(root / "top.txt") << "t";
    std::string base = root.string();
    std::replace(base.begin(), base.end(), '/', '\\');
    FileAccess& files = PlatformFileAccess();
    EXPECT_EQ(FindFiles(files, base + "\\*.txt", true, true),
              (PathList{base + "\\sub\\deep\\d.TXT", base + "\\sub\\deep", base + "\\sub", base + "\\top.txt"}));
    DeleteRecursive(files, base + "\\*.*");
    EXPECT_TRUE(fs::exists(root));
    EXPECT_TRUE(fs::is_empty(root));
    fs::remove_all(root);
}

}  // namespace
}  // namespace kaviro::commands
