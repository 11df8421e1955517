#include "commands/text_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace kaviro::commands {
namespace {

class TextFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("kaviro-text-reader-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::filesystem::path folder_;
};

TEST_F(TextFiles, SuccessiveReadsYieldLinesAndRestartAfterTheEnd) {
    const std::string path = Write("three.txt", "a\r\nb\nc\r\n");
    TextReader reader;
    const struct {
        std::string text;
        bool end;
    } expected[] = {{"a", false}, {"b", false}, {"c", true}, {"a", false}};
    for (const auto& step : expected) {
        const TextReader::Read read = reader.ReadNext(path, false, "|");
        ASSERT_TRUE(read.text);
        EXPECT_EQ(*read.text, step.text);
        EXPECT_EQ(read.endOfFile, step.end);
    }
}

TEST_F(TextFiles, ReadAllJoinsRemainingLinesAndAnotherPathRestarts) {
    const std::string first = Write("first.txt", "one\r\ntwo\r\nthree");
    const std::string second = Write("second.txt", "x\r\ny\r\n");
    TextReader reader;
    EXPECT_EQ(*reader.ReadNext(first, false, "|").text, "one");
    const TextReader::Read rest = reader.ReadNext(first, true, "|");
    EXPECT_EQ(*rest.text, "two|three");
    EXPECT_TRUE(rest.endOfFile);
    EXPECT_EQ(*reader.ReadNext(second, false, "|").text, "x");
    EXPECT_EQ(*reader.ReadNext(first, false, "|").text, "one");
}

TEST_F(TextFiles, MissingAndEmptyFilesGiveNoTextAndEndOfFile) {
    TextReader reader;
    const TextReader::Read missing = reader.ReadNext((folder_ / "none.txt").string(), false, "|");
    EXPECT_FALSE(missing.opened);
    EXPECT_FALSE(missing.text);
    EXPECT_TRUE(missing.endOfFile);
    const TextReader::Read empty = reader.ReadNext(Write("empty.txt", ""), false, "|");
    EXPECT_TRUE(empty.opened);
    EXPECT_FALSE(empty.text);
    EXPECT_TRUE(empty.endOfFile);
}

TEST_F(TextFiles, SavedLinesEndWithCrLfAndLoadBack) {
    const std::string path = (folder_ / "saved.txt").string();
    EXPECT_TRUE(LoadTextLines(path).empty());
    ASSERT_TRUE(SaveTextLines(path, {"first", "", "last"}));
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "first\r\n\r\nlast\r\n");
    EXPECT_EQ(LoadTextLines(path), (std::vector<std::string>{"first", "", "last"}));
}

TEST_F(TextFiles, WritingTheOpenFileLetsTheNextReadStartAgain) {
    const std::string path = Write("open.txt", "a\r\nb\r\n");
    TextReader reader;
    EXPECT_EQ(*reader.ReadNext(path, false, "|").text, "a");
    reader.Forget(path);
    EXPECT_EQ(*reader.ReadNext(path, false, "|").text, "a");
}

}  // namespace
}  // namespace kaviro::commands
