#include "commands/file_listing.h"

#include <gtest/gtest.h>

#include "fake_file_access.h"

namespace kaviro::commands {
namespace {

using testing::FakeFileAccess;

// R holds two subfolder trees between its files, so the listing order shows.
FakeFileAccess SampleTree() {
    FakeFileAccess files;
    files.Add("R\\")
        .Add("R\\a.txt")
        .Add("R\\S1\\")
        .Add("R\\b.dat")
        .Add("R\\S1\\c.txt")
        .Add("R\\S1\\T\\")
        .Add("R\\S1\\T\\d.txt")
        .Add("R\\S2\\")
        .Add("R\\e f.txt", "R\\EF~1.TXT");
    return files;
}

TEST(FileListing, SubfolderTreesComeBeforeTheFolderOwnFilesAndFoldersAfterTheirContents) {
    const struct {
        std::string pattern;
        bool recurse;
        bool folders;
        PathList expected;
    } cases[] = {
        {"R\\*.txt", true, true, {"R\\S1\\T\\d.txt", "R\\S1\\T", "R\\S1\\c.txt", "R\\S1", "R\\S2", "R\\a.txt", "R\\e f.txt"}},
        {"R\\*.txt", true, false, {"R\\S1\\T\\d.txt", "R\\S1\\c.txt", "R\\a.txt", "R\\e f.txt"}},
        {"R\\*.txt", false, true, {"R\\S1", "R\\S2", "R\\a.txt", "R\\e f.txt"}},
        {"R\\*.txt", false, false, {"R\\a.txt", "R\\e f.txt"}},
        {"R\\*.*", false, false, {"R\\a.txt", "R\\b.dat", "R\\e f.txt"}},
        {"R\\S1\\*.dat", true, false, {}},
        {"R\\A.TXT", false, false, {"R\\a.txt"}},
        {"R\\", true, false, {}},
    };
    for (const auto& c : cases) {
        FakeFileAccess files = SampleTree();
        EXPECT_EQ(FindFiles(files, c.pattern, c.recurse, c.folders), c.expected)
            << c.pattern << " recurse=" << c.recurse << " folders=" << c.folders;
    }
}

TEST(FileListing, FolderListingsShortPathsAndTheMatchingListing) {
    FakeFileAccess files = SampleTree();
    EXPECT_EQ(ListFolders(files, "R", true), (PathList{"R\\S1\\T", "R\\S1", "R\\S2"}));
    EXPECT_EQ(ListFolders(files, "R\\", false), (PathList{"R\\S1", "R\\S2"}));
    EXPECT_EQ(ListFilesWide(files, "R\\*.txt", false), (PathList{"R\\a.txt", "R\\EF~1.TXT"}));
    EXPECT_EQ(ListMatching(files, "R\\*.txt", true), ListFiles(files, "R\\*.txt", true));
    EXPECT_EQ(ListMatching(files, "R\\*.txt", false), (PathList{"R\\a.txt", "R\\e f.txt"}));
}

// Stops once a number of entries has been added and counts the folders entered.
class StopAfter final : public ListingObserver {
  public:
    explicit StopAfter(std::size_t entries) : limit_(entries) {}
    void FolderEntered() override { ++folders; }
    void EntryAdded(const std::string& path, EntryKind /*kind*/) override { added.push_back(path); }
    bool StopRequested() const override { return added.size() >= limit_; }
    int folders = 0;
    PathList added;

  private:
    std::size_t limit_;
};

TEST(FileListing, AStopEndsTheListingAfterAFileOrAfterASubfolderListingAndKeepsWhatWasFound) {
    const struct {
        std::size_t stopAfter;
        PathList expected;
        int foldersEntered;
    } cases[] = {
        // d.txt is added, the stop is seen there and every enclosing folder ends at once.
        {1, {"R\\S1\\T\\d.txt"}, 3},
        // After T's listing the stop is not yet due; T is added (no check after a
        // folder), then c.txt is the second file and ends it.
        {2, {"R\\S1\\T\\d.txt", "R\\S1\\T", "R\\S1\\c.txt"}, 3},
        {100, {"R\\S1\\T\\d.txt", "R\\S1\\T", "R\\S1\\c.txt", "R\\S1", "R\\S2", "R\\a.txt", "R\\e f.txt"}, 4},
    };
    for (const auto& c : cases) {
        FakeFileAccess files = SampleTree();
        StopAfter observer(c.stopAfter);
        EXPECT_EQ(FindFiles(files, "R\\*.txt", true, true, &observer), c.expected) << c.stopAfter;
        EXPECT_EQ(observer.added, c.expected);
        EXPECT_EQ(observer.folders, c.foldersEntered) << c.stopAfter;
    }
}

TEST(FileListing, MasksMatchAsTheWindowsFunctionsDo) {
    const struct {
        const char* name;
        const char* mask;
        bool matches;
    } cases[] = {
        {"a.txt", "*.txt", true},   {"A.TXT", "*.txt", true},   {"a.txt.bak", "*.txt", false},
        {"readme", "*.*", true},    {"readme", "readme.*", true}, {"readme", "*.", true},
        {"a.b", "*.", false},       {"abc", "a?c", true},       {"ac", "a?c", false},
        {"x.txt", "", false},       {"setup.ini", "s*p.i*", true}, {"a", "*", true},
    };
    for (const auto& c : cases) EXPECT_EQ(MaskMatches(c.name, c.mask), c.matches) << c.name << " " << c.mask;
}

TEST(FileListing, BarSeparatedTextQuotesEntriesThatNeedIt) {
    const struct {
        PathList entries;
        std::string text;
    } cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"", "a"}, "|a"},
        {{"C:\\a.txt", "C:\\b.txt"}, "C:\\a.txt|C:\\b.txt"},
        {{"C:\\My Files\\a.txt"}, "\"C:\\My Files\\a.txt\""},
        {{"x\"y", "p|q", "t\tu"}, "\"x\"\"y\"|\"p|q\"|\"t\tu\""},
    };
    for (const auto& c : cases) EXPECT_EQ(BarSeparatedText(c.entries), c.text);
}

TEST(FileListing, DeleteRecursiveEmptiesTheTreeButKeepsThePatternFolder) {
    FakeFileAccess files = SampleTree();
    // S1 outlives its subfolder T in the first pass (it comes later in the
    // reversed list), so a second pass removes it and a third sees no change.
    EXPECT_EQ(DeleteRecursive(files, "R\\*.*"), 3);
    EXPECT_EQ(files.Paths(), (PathList{"R"}));
}

TEST(FileListing, DeleteRecursiveEndsAfterOnePassWithoutChangeWhenAFileIsHeldOpen) {
    FakeFileAccess files;
    files.Add("R\\").Add("R\\S1\\").Add("R\\S1\\held.txt", {}, true).Add("R\\S1\\free.txt").Add("R\\S2\\").Add("R\\x.txt");
    EXPECT_EQ(DeleteRecursive(files, "R\\*.*"), 2);
    EXPECT_EQ(files.Paths(), (PathList{"R", "R\\S1", "R\\S1\\held.txt"}));
}

TEST(FileListing, DeleteFolderContentsWithAndWithoutRecursion) {
    FakeFileAccess flat = SampleTree();
    DeleteFolderContents(flat, "R\\", false);
    EXPECT_EQ(flat.Paths(), (PathList{"R", "R\\S1", "R\\S1\\c.txt", "R\\S1\\T", "R\\S1\\T\\d.txt", "R\\S2"}));
    FakeFileAccess deep = SampleTree();
    DeleteFolderContents(deep, "R", true);
    EXPECT_EQ(deep.Paths(), (PathList{"R"}));
}

}  // namespace
}  // namespace kaviro::commands
