// End-to-end tests of the 64-bit oru.lib under Wine: the probe program
// drives the library through the engine's wrapper and the raw exports, on
// archives that 7zz makes from generated trees.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../../unit/oru/oru_test_support.h"

namespace kaviro::oru::testing {
namespace {
namespace fs = std::filesystem;

const fs::path kDist = fs::path(KAVIRO_SOURCE_DIR) / "dist" / "x64";

// The Wine prefix: the run's (KAVIRO_WINE_PREFIX) or one made for this process.
class WinePrefix : public ::testing::Environment {
public:
    void SetUp() override {
        if (const char* given = std::getenv("KAVIRO_WINE_PREFIX"); given != nullptr && *given != '\0') {
            path = given;
            return;
        }
        own_ = std::make_unique<TempFolder>();
        path = own_->Path() / "prefix";
        Script("create");
    }
    void TearDown() override {
        if (own_) {
            Script("stop");
            own_.reset();
        }
    }
    static inline fs::path path;

private:
    void Script(const char* action) {
        const std::string command = std::string(KAVIRO_SOURCE_DIR) + "/scripts/wine-prefix.sh " + action + " '" +
                                    path.string() + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    std::unique_ptr<TempFolder> own_;
};

const auto* const kPrefix = ::testing::AddGlobalTestEnvironment(new WinePrefix);

std::string WindowsPath(const fs::path& path) {
    std::string text = "Z:" + fs::absolute(path).string();
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
    return text;
}

struct ProbeRun {
    int exitCode = -1;
    std::string output;
};

ProbeRun RunProbe(const std::string& arguments) {
    const std::string command = "WINEPREFIX='" + WinePrefix::path.string() +
                                "' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d' "
                                "/usr/lib/wine/wine64 '" + (kDist / "oru_probe.exe").string() + "' " + arguments +
                                " 2>/dev/null";
    ProbeRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::array<char, 4096> buffer;
    size_t count;
    while ((count = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.output.append(buffer.data(), count);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // Windows programs write CR LF.
    std::erase(run.output, '\r');
    return run;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

class OruUnderWine : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(fs::exists(kDist / "oru.lib")) << "build the x64 tree first (scripts/build.sh x64)";
        ASSERT_TRUE(fs::exists(kDist / "oru_probe.exe"));
        folder_ = std::make_unique<TempFolder>();
        tree_ = std::make_unique<SampleTree>(MakeSampleTree(folder_->Path() / "tree"));
    }
    static void TearDownTestSuite() {
        tree_.reset();
        folder_.reset();
    }
    static fs::path Archive(const std::string& name, const std::string& switches) {
        const fs::path archive = folder_->Path() / (name + ".7z");
        if (!fs::exists(archive)) {
            Make7z(archive, folder_->Path() / "tree", switches);
        }
        return archive;
    }
    static fs::path Output(const std::string& name) {
        const fs::path output = folder_->Path() / "out" / name;
        fs::remove_all(output);
        return output;
    }
    static void ExpectTree(const fs::path& output) {
        for (const auto& [path, content] : tree_->files) {
            const fs::path file = output / fs::path(path);
            ASSERT_TRUE(fs::exists(file)) << path;
            EXPECT_TRUE(ReadFile(file) == content) << path;
        }
        for (const std::string& folder : tree_->folders) {
            EXPECT_TRUE(fs::is_directory(output / folder)) << folder;
        }
        for (const auto& item : fs::recursive_directory_iterator(output)) {
            EXPECT_EQ(item.path().string().find(".oru-partial"), std::string::npos) << item.path();
        }
    }

    static std::unique_ptr<TempFolder> folder_;
    static std::unique_ptr<SampleTree> tree_;
};

std::unique_ptr<TempFolder> OruUnderWine::folder_;
std::unique_ptr<SampleTree> OruUnderWine::tree_;

TEST_F(OruUnderWine, ExtractsReferenceArchivesOfEveryKind) {
    struct KindCase {
        const char* name;
        const char* switches;
        const char* password;
    };
    const KindCase cases[] = {
        {"lzma2", "-m0=LZMA2", ""},
        {"lzma_blocks", "-m0=LZMA -ms=2f", ""},
        {"bcj2", "-mf=BCJ2 -mx9", ""},
        {"filters", "-mf=ARM64 -m0=LZMA2", ""},
        {"encrypted_headers", "-m0=LZMA2 -psecret -mhe=on", "secret"},
    };
    for (const KindCase& kind : cases) {
        const fs::path output = Output(kind.name);
        const ProbeRun run = RunProbe("extract " + Quoted(WindowsPath(Archive(kind.name, kind.switches))) + " " +
                                      Quoted(WindowsPath(output)) + " --password " + Quoted(kind.password));
        EXPECT_EQ(run.exitCode, 0) << kind.name << "\n" << run.output;
        EXPECT_NE(run.output.find("monotonic=1"), std::string::npos) << run.output;
        ExpectTree(output);
    }
}

TEST_F(OruUnderWine, FlatExtractionOverwritesExistingFiles) {
    const fs::path output = Output("flat");
    WriteFile(output / "readme.txt", TextLikeData(10, 99));
    fs::permissions(output / "readme.txt", fs::perms::owner_read, fs::perm_options::replace);
    const ProbeRun run = RunProbe("extract " + Quoted(WindowsPath(Archive("lzma2", "-m0=LZMA2"))) + " " +
                                  Quoted(WindowsPath(output)) + " --flat");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(ReadFile(output / "readme.txt") == tree_->files.at("readme.txt"));
    EXPECT_TRUE(ReadFile(output / "notes.txt") == tree_->files.at("docs/nested/deep/notes.txt"));
    EXPECT_FALSE(fs::exists(output / "docs"));
}

TEST_F(OruUnderWine, ListingReportsItsErrorTexts) {
    WriteFile(folder_->Path() / "not-an-archive.7z", TextLikeData(4000, 5));
    struct ListingCase {
        std::string archive;
        std::string password;
        std::string expected;
    };
    const ListingCase cases[] = {
        {WindowsPath(folder_->Path() / "missing.7z"), "", "ERROR The archive file was not found"},
        {WindowsPath(folder_->Path() / "not-an-archive.7z"), "",
         "ERROR The archive cannot be opened: unsupported archive or incorrect password"},
        {WindowsPath(Archive("encrypted_headers", "-m0=LZMA2 -psecret -mhe=on")), "wrong",
         "ERROR The archive cannot be opened: unsupported archive or incorrect password"},
        {WindowsPath(Archive("lzma2", "-m0=LZMA2")), "", "OK 13"},
    };
    for (const ListingCase& test : cases) {
        const ProbeRun run = RunProbe("list " + Quoted(test.archive) + " " + Quoted(test.password));
        EXPECT_EQ(run.output.substr(0, run.output.find('\n')), test.expected) << test.archive;
    }
    const ProbeRun listed = RunProbe("list " + Quoted(WindowsPath(Archive("lzma2", "-m0=LZMA2"))));
    EXPECT_NE(listed.output.find("\ndocs\\nested\\deep\\notes.txt\n"), std::string::npos) << listed.output;
}

TEST_F(OruUnderWine, ExtractionFailuresGiveTheirCodeAndNoCompleteFile) {
    // A stored archive whose first file is damaged: its CRC fails.
    Bytes stored = ReadFile(Archive("stored", "-m0=Copy -ms=off"));
    stored[32 + 100] ^= 1;
    WriteFile(folder_->Path() / "damaged.7z", stored);
    const fs::path damagedOutput = Output("damaged");
    const ProbeRun damaged =
        RunProbe("extract " + Quoted(WindowsPath(folder_->Path() / "damaged.7z")) + " " + Quoted(WindowsPath(damagedOutput)));
    EXPECT_NE(damaged.output.find("ERROR #1005"), std::string::npos) << damaged.output;
    size_t files = 0;
    for (const auto& item : fs::recursive_directory_iterator(damagedOutput)) {
        files += item.is_regular_file() ? 1 : 0;
        EXPECT_EQ(item.path().string().find(".oru-partial"), std::string::npos) << item.path();
    }
    EXPECT_LT(files, tree_->files.size());

    const ProbeRun wrongPassword =
        RunProbe("extract " + Quoted(WindowsPath(Archive("encrypted", "-m0=LZMA2 -psecret"))) + " " +
                 Quoted(WindowsPath(Output("wrong"))) + " --password nope");
    EXPECT_NE(wrongPassword.output.find("ERROR #1012"), std::string::npos) << wrongPassword.output;

    const ProbeRun cancelled = RunProbe("extract " + Quoted(WindowsPath(Archive("lzma2", "-m0=LZMA2"))) + " " +
                                        Quoted(WindowsPath(Output("cancelled"))) + " --cancel-after 2");
    EXPECT_NE(cancelled.output.find("progress calls=3 "), std::string::npos) << cancelled.output;
    EXPECT_NE(cancelled.output.find("ERROR #1009"), std::string::npos) << cancelled.output;
}

TEST_F(OruUnderWine, HostileNamesAreNeverWrittenOutside) {
    const fs::path tree = folder_->Path() / "hostile-tree";
    WriteFile(tree / "aaaaaaaaaaaaaa.txt", TextLikeData(100, 1));
    Make7z(folder_->Path() / "hostile-plain.7z", tree, "-mhc=off");
    const Bytes hostile = RenameEntry(ReadFile(folder_->Path() / "hostile-plain.7z"), "aaaaaaaaaaaaaa", "..\\..\\evil-xyz");
    WriteFile(folder_->Path() / "hostile.7z", hostile);
    const fs::path output = Output("hostile/inner/deeper");
    const ProbeRun run =
        RunProbe("extract " + Quoted(WindowsPath(folder_->Path() / "hostile.7z")) + " " + Quoted(WindowsPath(output)));
    EXPECT_NE(run.output.find("ERROR #1008"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(output.parent_path().parent_path() / "evil-xyz.txt"));
    EXPECT_FALSE(fs::exists(output.parent_path() / "evil-xyz.txt"));
}

TEST_F(OruUnderWine, RawExportsAskForThePasswordAndListRecords) {
    const fs::path output = Output("asked");
    const ProbeRun asked = RunProbe("ask-password " + Quoted(WindowsPath(Archive("encrypted", "-m0=LZMA2 -psecret"))) +
                                    " " + Quoted(WindowsPath(output)) + " secret");
    EXPECT_NE(asked.output.find("result=1 error=0 passwordCalls=1"), std::string::npos) << asked.output;
    ExpectTree(output);

    const ProbeRun layout = RunProbe("entry-layout " + Quoted(WindowsPath(Archive("lzma2", "-m0=LZMA2"))));
    EXPECT_NE(layout.output.find("handle=1 count=13 record=48"), std::string::npos) << layout.output;
    EXPECT_NE(layout.output.find("\nempty folder|0|00000010\n"), std::string::npos) << layout.output;
    EXPECT_NE(layout.output.find("\nreadme.txt|20000|"), std::string::npos) << layout.output;
}

// Wine's wide file APIs do not enforce MAX_PATH themselves, so this shows
// that the whole chain (wrapper, exports, folder creation, partial files,
// renames) handles such paths and that the extended-length form, which the
// system does not normalise, is built from a resolved output folder.
TEST_F(OruUnderWine, EntryPathsBeyondMaxPathAreExtracted) {
    const fs::path tree = folder_->Path() / "long-tree";
    std::string folderPath;
    for (char letter = 'a'; letter < 'f'; ++letter) {
        folderPath += std::string(60, letter) + "/";
    }
    const std::string filePath = folderPath + std::string(50, 'f') + ".txt";
    const Bytes content = TextLikeData(3000, 17);
    WriteFile(tree / filePath, content);
    fs::create_directories(tree / folderPath / "empty");
    // A name near the file system's 255-byte limit: the file being written
    // must not need a longer name than the finished one.
    const std::string longName = std::string(246, 'n') + ".txt";
    WriteFile(tree / longName, content);
    Make7z(folder_->Path() / "long.7z", tree, "-m0=LZMA2");
    const fs::path output = Output("long");
    ASSERT_GT(WindowsPath(output / filePath).size(), 260u);

    // Relative parts in the output folder are resolved before the long form is used.
    const std::string outputArgument = WindowsPath(output.parent_path()) + "\\.\\x\\..\\" + output.filename().string();
    const ProbeRun run =
        RunProbe("extract " + Quoted(WindowsPath(folder_->Path() / "long.7z")) + " " + Quoted(outputArgument));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    ASSERT_TRUE(fs::exists(output / filePath)) << run.output;
    EXPECT_TRUE(ReadFile(output / filePath) == content);
    EXPECT_TRUE(fs::is_directory(output / folderPath / "empty"));
    ASSERT_TRUE(fs::exists(output / longName)) << run.output;
    EXPECT_TRUE(ReadFile(output / longName) == content);
    EXPECT_FALSE(fs::exists(output.parent_path() / "x"));
    for (const auto& item : fs::recursive_directory_iterator(output)) {
        EXPECT_EQ(item.path().string().find(".oru-partial"), std::string::npos) << item.path();
    }
}

TEST_F(OruUnderWine, FoldersGetTheirStoredTimesAndAttributes) {
    const fs::path tree = folder_->Path() / "meta-tree";
    WriteFile(tree / "dated" / "inner" / "file.txt", TextLikeData(5000, 3));
    WriteFile(tree / "dated" / "second.txt", TextLikeData(700, 4));
    WriteFile(tree / "shown" / "in-hidden.txt", TextLikeData(300, 5));
    fs::permissions(tree / "shown", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                    fs::perm_options::replace);
    // Times last: writing into a folder changes its own.
    struct DatedFolder {
        const char* path;
        int64_t unixSeconds;
    };
    const DatedFolder dated[] = {{"dated", 981173106}, {"dated/inner", 1046754367}, {"shown", 1104537600}};
    for (const DatedFolder& folder : dated) {
        const std::string command =
            "touch -d @" + std::to_string(folder.unixSeconds) + " '" + (tree / folder.path).string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    Make7z(folder_->Path() / "meta-plain.7z", tree, "-m0=LZMA2 -mhc=off");
    // 7zz keeps a Unix folder's mode in the high 16 bits; "shown" (mode 0750)
    // is the only one with these attributes. Mark it hidden.
    const Bytes plainAttributes = {0x10, 0x80, 0xE8, 0x41};
    const Bytes hiddenAttributes = {0x12, 0x80, 0xE8, 0x41};
    WriteFile(folder_->Path() / "meta.7z",
              PatchHeader(ReadFile(folder_->Path() / "meta-plain.7z"), plainAttributes, hiddenAttributes));

    const fs::path output = Output("meta");
    const ProbeRun run = RunProbe("extract " + Quoted(WindowsPath(folder_->Path() / "meta.7z")) + " " +
                                  Quoted(WindowsPath(output)));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    std::string paths;
    for (const DatedFolder& folder : dated) {
        paths += " " + Quoted(WindowsPath(output / folder.path));
    }
    const ProbeRun seen = RunProbe("attributes" + paths);
    ASSERT_EQ(seen.exitCode, 0) << seen.output;
    std::istringstream lines(seen.output);
    for (const DatedFolder& folder : dated) {
        std::string line;
        ASSERT_TRUE(std::getline(lines, line)) << seen.output;
        const std::vector<std::string> fields = [&] {
            std::vector<std::string> parts;
            std::istringstream split(line);
            for (std::string part; std::getline(split, part, '|');) {
                parts.push_back(part);
            }
            return parts;
        }();
        ASSERT_EQ(fields.size(), 3u) << line;
        const unsigned long attributes = std::stoul(fields[1], nullptr, 16);
        const uint64_t expectedTime = (static_cast<uint64_t>(folder.unixSeconds) + 11644473600ull) * 10000000ull;
        EXPECT_EQ(std::stoull(fields[2]), expectedTime) << folder.path;
        EXPECT_NE(attributes & 0x10, 0u) << folder.path;
        EXPECT_EQ((attributes & 0x2) != 0, std::string(folder.path) == "shown") << folder.path << " " << line;
    }
}

// The archive of a file over 4 GiB takes half a minute to make (label "slow").
TEST(OruLargeFileUnderWine, ListsTheFullSize) {
    const fs::path archive = LargeFileArchive(KAVIRO_LARGE_ARCHIVE_DIR);
    const ProbeRun layout = RunProbe("entry-layout " + Quoted(WindowsPath(archive)));
    EXPECT_NE(layout.output.find("handle=1 count=1 record=48"), std::string::npos) << layout.output;
    EXPECT_NE(layout.output.find("\nzeros.bin|" + std::to_string(kLargeFileSize) + "|"), std::string::npos)
        << layout.output;
}

}  // namespace
}  // namespace kaviro::oru::testing
