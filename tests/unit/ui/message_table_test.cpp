#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "engine/engine_error.h"
#include "engine/text_util.h"
#include "tests/unit/ui/fake_locale.h"
#include "ui/message_table.h"

namespace kaviro::ui {
namespace {

// One block of 115 lines: line n is prefix + n.
std::vector<std::string> Block(const std::string& prefix, int lines = kMessageBlockLines) {
    std::vector<std::string> block;
    for (int line = 1; line <= lines; ++line) block.push_back(prefix + std::to_string(line));
    return block;
}

std::string MessageFile(const std::vector<std::pair<std::string, std::vector<std::string>>>& namedBlocks,
                        const std::vector<std::string>& first = Block("first ")) {
    std::vector<std::string> lines = first;
    for (const auto& [name, block] : namedBlocks) {
        lines.push_back(name);
        lines.insert(lines.end(), block.begin(), block.end());
    }
    return JoinLinesCrlf(lines);
}

TEST(MessageTable, DefaultsAreAddressedByLineNumber) {
    const MessageTable table;
    int withText = 0;
    for (int line = 1; line <= kMessageBlockLines; ++line) {
        if (IsMessageLine(line))
            ++withText;
    }
    EXPECT_EQ(withText, 94);
    EXPECT_EQ(table.Text(2), "Setup resource not found");
    EXPECT_EQ(table.Text(3), "Setup resource decompression failure");
    EXPECT_EQ(table.Text(4), "Setup database not found");
    EXPECT_EQ(table.Text(5), "Runtime error in install: ");  // trailing blank kept
    EXPECT_EQ(table.Text(23), "Kaviro Wizard");
    EXPECT_EQ(table.Text(24),
              "Kaviro is preparing the Kaviro Wizard which will install this application. Please wait.");
    EXPECT_EQ(table.Text(27), " Proxy Information (optional) ");
    EXPECT_EQ(table.Text(54), "");
    EXPECT_EQ(table.Text(55), "Locating resource");
    EXPECT_EQ(table.Text(87), "Accept ranges");
    EXPECT_EQ(table.Text(90), "Please select the language to use during the installation:");
    EXPECT_EQ(table.Text(100), "");
    EXPECT_EQ(table.Text(112), "Unable to play Flash movie");
    EXPECT_EQ(table.Text(115), "Entire feature will be &unavailable");
    EXPECT_EQ(table.Text(0), "");
    EXPECT_EQ(table.Text(116), "");
}

TEST(MessageTable, BlockChoice) {
    const struct {
        const char* what;
        std::string file;
        const char* userLanguage;
        const char* expectedLine2;
    } cases[] = {
        {"first block only", MessageFile({}), "English", "first 2"},
        {"user's block", MessageFile({{"German", Block("de ")}, {"French", Block("fr ")}}), "german", "de 2"},
        {"user's block is the last", MessageFile({{"German", Block("de ")}, {"French", Block("fr ")}}),
         "French", "fr 2"},
        {"no user's block: the last one", MessageFile({{"German", Block("de ")}, {"French", Block("fr ")}}),
         "English", "fr 2"},
    };
    for (const auto& entry : cases) {
        MessageTable table;
        table.Load(entry.file, entry.userLanguage);
        EXPECT_EQ(table.Text(2), entry.expectedLine2) << entry.what;
        EXPECT_EQ(table.Text(100), "") << entry.what << ": ignored lines carry no text";
    }
}

TEST(MessageTable, StopsAfterTheUsersBlock) {
    // A later block, even a partial one, must not replace the user's texts.
    MessageTable table;
    table.Load(MessageFile({{"German", Block("de ")}, {"French", Block("fr ", 3)}}), "German");
    EXPECT_EQ(table.Text(2), "de 2");
    EXPECT_EQ(table.Text(115), "de 115");
}

TEST(MessageTable, ShortFileLeavesTheRestAsItWas) {
    MessageTable table;
    table.Load(JoinLinesCrlf(Block("x ", 3)), "English");
    EXPECT_EQ(table.Text(3), "x 3");
    EXPECT_EQ(table.Text(4), "Setup database not found");
    // A partial named block overwrites only the lines it has.
    MessageTable partial;
    partial.Load(MessageFile({{"German", Block("de ", 4)}}), "Klingon");
    EXPECT_EQ(partial.Text(4), "de 4");
    EXPECT_EQ(partial.Text(5), "first 5");
}

TEST(MessageTable, LoadMessageTableUsesTheUsersLocaleLanguage) {
    const std::string path = testing::TempDir() + "message_table_test.loc";
    {
        std::ofstream file(path, std::ios::binary);
        file << MessageFile({{"German", Block("de ")}, {"French", Block("fr ")}});
    }
    LoadMessageTable(path, FakeLocale(2055, {{2055, "German"}}));  // German (Switzerland)
    EXPECT_EQ(Message(24), "de 24");
    LoadMessageTable(path, FakeLocale(1033));
    EXPECT_EQ(Message(24), "fr 24");
    std::remove(path.c_str());
    EXPECT_THROW(LoadMessageTable(path, FakeLocale()), EngineError);
}

}  // namespace
}  // namespace kaviro::ui
