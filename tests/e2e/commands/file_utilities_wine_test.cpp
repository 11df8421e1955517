// The engine's file utilities on real files under Wine, through the
// Windows-side file_probe: narrow and wide names, short paths, folder
// listings, delete on reboot, sizes and the module path.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "engine/text_util.h"
#include "tests/e2e/support/scratch.h"
#include "tests/e2e/support/wine_run.h"

namespace kaviro::e2e {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// The probe's output lines (the launcher's own line left out).
Lines Probe(const Scratch& scratch, const std::string& command, const std::string& argument = {}) {
    RunRequest request;
    request.program = DistDir() + "/file_probe.exe";
    request.arguments = {command};
    if (!argument.empty()) request.arguments.push_back(argument);
    scratch.UseAsTemp(request.environment);
    const RunResult result = RunUnderWine(request);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    Lines lines;
    for (const std::string& line : SplitTextLines(result.output)) {
        if (!line.empty() && line.rfind("kaviro-launch:", 0) != 0) lines.push_back(line);
    }
    return lines;
}

void MakeFile(const fs::path& path, std::size_t size = 1) {
    fs::create_directories(path.parent_path());
    WriteFileBytes(path.string(), std::string(size, 'x'));
}

TEST(FileUtilitiesUnderWine, NamesOutsideTheAnsiCodePageComeBackInAFormTheNarrowFunctionsReach) {
    Scratch scratch;
    const fs::path names = fs::path(scratch.Path()) / "names";
    MakeFile(names / "plain.txt");
    MakeFile(names / "\xCE\xA9mega file.txt");          // Greek capital omega
    MakeFile(names / "sub" / "\xE6\x97\xA5\xE6\x9C\xAC.txt");  // two CJK characters
    const std::string pattern = ToWindowsPath(names.string()) + "\\*.txt";
    const Lines listed = Probe(scratch, "list", pattern);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_NE(listed.front().find("\\names\\sub\\"), std::string::npos) << "subfolders before files: " << listed.front();
    EXPECT_NE(std::find(listed.begin(), listed.end(), ToWindowsPath((names / "plain.txt").string()) + "|reachable"),
              listed.end());
    for (const std::string& line : listed) {
        EXPECT_NE(line.find("|reachable"), std::string::npos) << line;
        EXPECT_EQ(line.find('?'), std::string::npos) << line;
    }
    const Lines wide = Probe(scratch, "list-wide", pattern);
    ASSERT_EQ(wide.size(), 3u);
    for (const std::string& path : wide) {
        EXPECT_EQ(path.find_first_of("? "), std::string::npos) << "a short path: " << path;
    }
}

TEST(FileUtilitiesUnderWine, FolderListingsAndEmptyingATree) {
    Scratch scratch;
    const fs::path root = fs::path(scratch.Path()) / "root";
    fs::create_directories(root / "a" / "b" / "c");
    MakeFile(root / "a" / "b" / "inside.txt");
    MakeFile(root / "a" / "locked.txt");
    ASSERT_EQ(chmod((root / "a" / "locked.txt").c_str(), 0444), 0);
    MakeFile(root / "top.txt");
    const std::string base = ToWindowsPath(root.string());
    EXPECT_EQ(Probe(scratch, "folders", base), (Lines{base + "\\a\\b\\c", base + "\\a\\b", base + "\\a"}));
    Probe(scratch, "clear", base + "\\");
    ASSERT_TRUE(fs::is_directory(root));
    EXPECT_TRUE(fs::is_empty(root)) << "read-only files included";
}

TEST(FileUtilitiesUnderWine, SizesExistenceModulePathAndDeleteOnReboot) {
    Scratch scratch;
    const fs::path file = fs::path(scratch.Path()) / "sized file.bin";
    MakeFile(file, 12345);
    EXPECT_EQ(Probe(scratch, "sizes", ToWindowsPath(file.string())), (Lines{"12345|TRUE"}));
    EXPECT_EQ(Probe(scratch, "sizes", ToWindowsPath(scratch.Path())), (Lines{"0|FALSE"})) << "a folder";
    EXPECT_EQ(Probe(scratch, "sizes", ToWindowsPath(scratch.Path() + "/missing.bin")), (Lines{"0|FALSE"}));
    const Lines module = Probe(scratch, "module");
    ASSERT_EQ(module.size(), 1u);
    EXPECT_TRUE(EndsWithIgnoreCase(module[0], "\\file_probe.exe")) << module[0];

    const fs::path doomed = fs::path(scratch.Path()) / "reboot-doomed.txt";
    MakeFile(doomed);
    EXPECT_EQ(Probe(scratch, "reboot-delete", ToWindowsPath(doomed.string())), (Lines{"recorded"}));
    const RunResult query = RunWineCommand(
        {"reg", "query", "HKLM\\System\\CurrentControlSet\\Control\\Session Manager", "/v", "PendingFileRenameOperations"});
    EXPECT_NE(query.output.find("reboot-doomed.txt"), std::string::npos) << query.output;
    EXPECT_TRUE(fs::exists(doomed)) << "nothing is deleted before the restart";
}

}  // namespace
}  // namespace kaviro::e2e
