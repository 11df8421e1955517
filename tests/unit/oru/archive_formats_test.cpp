// Archives made by the reference 7zz tool with every supported coder and
// layout extract to exactly the files that went in.

#include <gtest/gtest.h>

#include "oru_test_support.h"

namespace kaviro::oru::testing {
namespace {

struct FormatCase {
    const char* name;
    const char* switches;
    const char* password;
};

class ArchiveFormats : public ::testing::TestWithParam<FormatCase> {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<TempFolder>();
        tree_ = std::make_unique<SampleTree>(MakeSampleTree(folder_->Path() / "tree"));
    }
    static void TearDownTestSuite() {
        tree_.reset();
        folder_.reset();
    }
    static std::unique_ptr<TempFolder> folder_;
    static std::unique_ptr<SampleTree> tree_;
};

std::unique_ptr<TempFolder> ArchiveFormats::folder_;
std::unique_ptr<SampleTree> ArchiveFormats::tree_;

TEST_P(ArchiveFormats, ExtractsEveryFileAndFolder) {
    const FormatCase& format = GetParam();
    const auto archive = folder_->Path() / (std::string(format.name) + ".7z");
    Make7z(archive, folder_->Path() / "tree", format.switches);

    ExtractionResult result;
    ExtractAll(ReadFile(archive), format.password, result);

    EXPECT_EQ(result.target.discarded, 0);
    ASSERT_EQ(result.target.files.size(), tree_->files.size());
    for (const auto& [path, content] : tree_->files) {
        const auto found = result.target.files.find(path);
        ASSERT_NE(found, result.target.files.end()) << path;
        EXPECT_TRUE(found->second == content) << path << " differs";
    }
    for (const std::string& folder : tree_->folders) {
        EXPECT_TRUE(result.target.folders.count(folder) == 1) << folder;
    }
    uint64_t total = 0;
    for (const auto& [path, content] : tree_->files) {
        total += content.size();
    }
    EXPECT_EQ(result.observer.lastTotal, total);
    EXPECT_EQ(result.observer.lastDone, total);
    EXPECT_TRUE(result.observer.monotonic);
}

TEST_F(ArchiveFormats, SelectedEntriesOnlyAndFlatPaths) {
    // One file from the middle of a solid block, and the same without paths.
    const auto archive = folder_->Path() / "selection.7z";
    Make7z(archive, folder_->Path() / "tree", "-m0=LZMA2");
    for (const PathMode mode : {PathMode::FullPaths, PathMode::NoPaths}) {
        MemoryInput input(ReadFile(archive));
        Archive opened(input, {});
        std::vector<bool> selected(opened.Entries().size(), false);
        for (size_t i = 0; i < selected.size(); ++i) {
            selected[i] = Utf8(opened.Entries()[i].name) == "docs/nested/deep/notes.txt";
        }
        MemoryTarget target;
        CountingObserver observer;
        opened.Extract(selected, mode, target, observer);
        const std::string expected = mode == PathMode::FullPaths ? "docs/nested/deep/notes.txt" : "notes.txt";
        ASSERT_EQ(target.files.size(), 1u);
        EXPECT_TRUE(target.files.at(expected) == tree_->files.at("docs/nested/deep/notes.txt"));
        EXPECT_TRUE(target.folders.empty());
        EXPECT_EQ(observer.lastTotal, tree_->files.at("docs/nested/deep/notes.txt").size());
    }
}

TEST_F(ArchiveFormats, FoldersAreFinishedAfterEverythingInsideThem) {
    const auto archive = folder_->Path() / "finish.7z";
    Make7z(archive, folder_->Path() / "tree", "-m0=LZMA2");
    for (const PathMode mode : {PathMode::FullPaths, PathMode::NoPaths}) {
        ExtractionResult result;
        ExtractAll(ReadFile(archive), "", result, mode);
        const std::vector<std::string>& events = result.target.events;
        std::set<std::string> finished;
        for (size_t i = 0; i < events.size(); ++i) {
            if (events[i].rfind("finish ", 0) != 0) {
                continue;
            }
            const std::string folder = events[i].substr(7);
            EXPECT_TRUE(finished.insert(folder).second) << "finished twice: " << folder;
            for (size_t later = i + 1; later < events.size(); ++later) {
                const std::string path = events[later].substr(events[later].find(' ') + 1);
                EXPECT_NE(path.rfind(folder + "/", 0), 0u) << events[later] << " after " << events[i];
            }
        }
        if (mode == PathMode::FullPaths) {
            EXPECT_EQ(finished, tree_->folders);
        } else {
            EXPECT_TRUE(finished.empty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    ReferenceArchives, ArchiveFormats,
    ::testing::Values(FormatCase{"lzma2_solid", "-m0=LZMA2 -mx5", ""},
                      FormatCase{"lzma2_fast_small_dictionary", "-m0=LZMA2:d=64k -mx1", ""},
                      FormatCase{"lzma_non_solid", "-m0=LZMA -ms=off", ""},
                      FormatCase{"lzma_small_dictionary_wraps", "-m0=LZMA:d=64k", ""},
                      FormatCase{"lzma_lc0_lp2_pb0", "-m0=LZMA:lc=0:lp=2:pb=0 -ms=off", ""},
                      FormatCase{"lzma_solid_blocks_of_two_files", "-m0=LZMA -ms=2f", ""},
                      FormatCase{"plain_header", "-m0=LZMA2 -mhc=off", ""},
                      FormatCase{"copy", "-m0=Copy", ""},
                      FormatCase{"x86_filter", "-mf=BCJ -m0=LZMA", ""},
                      FormatCase{"bcj2_filter", "-mf=BCJ2 -mx9", ""},
                      FormatCase{"arm64_filter", "-mf=ARM64 -m0=LZMA2", ""},
                      FormatCase{"delta_filter", "-mf=Delta:4 -m0=LZMA2", ""},
                      FormatCase{"encrypted_content", "-m0=LZMA2 -psecret", "secret"},
                      FormatCase{"encrypted_headers", "-m0=LZMA2 -pgeheim -mhe=on", "geheim"},
                      FormatCase{"encrypted_non_solid", "-m0=LZMA -ms=off -pp\xc3\xa4ss", "p\xc3\xa4ss"}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kaviro::oru::testing
