#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/builder/builder_test_support.h"
#include "tools/builder/build_error.h"
#include "tools/builder/file_io.h"
#include "tools/builder/seven_zip_writer.h"

namespace kaviro::builder {
namespace {

using test::Quoted;
using test::ReadBytes;
using test::RunCommand;
using test::ScratchFolder;

std::vector<uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(SevenZipWriter, Crc32KnownValue) {
    EXPECT_EQ(Crc32(Bytes("123456789")), 0xCBF43926u);
    EXPECT_EQ(Crc32({}), 0u);
}

// Entries that exercise the header: folders, an empty file, a name outside
// ASCII, and a file large enough for multi-byte sizes in the header.
std::vector<ArchiveEntry> SampleEntries() {
    // 70000 bytes need a three-byte size in the header, 2.2 MB a four-byte one.
    auto filled = [](std::size_t size) {
        std::vector<uint8_t> data(size);
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 31 + (i >> 9));
        return data;
    };
    return {
        {"readme.txt", false, Bytes("Read me.\r\n")},
        {"pictures", true, {}},
        {"pictures/logo.bmp", false, filled(70000)},
        {"pictures/large.bmp", false, filled(2200000)},
        {"empty.txt", false, {}},
        {"caf\xC3\xA9-\xE2\x82\xAC.txt", false, Bytes("caf\xC3\xA9")},
        {"pictures/nested", true, {}},
    };
}

TEST(SevenZipWriter, SameEntriesInAnyOrderGiveTheSameBytes) {
    auto entries = SampleEntries();
    const auto first = WriteSevenZipArchive(entries);
    std::reverse(entries.begin(), entries.end());
    EXPECT_EQ(WriteSevenZipArchive(entries), first);
    for (auto& entry : entries) {
        if (entry.name == "readme.txt")
            entry.data.push_back('!');
    }
    EXPECT_NE(WriteSevenZipArchive(entries), first);
}

TEST(SevenZipWriter, ReferenceToolTestsListsAndExtractsIt) {
    if (!test::ProgramAvailable("7zz"))
        GTEST_SKIP() << "7zz is not installed";
    ScratchFolder scratch;
    const auto archivePath = scratch.Path() / "support.res";
    const auto entries = SampleEntries();
    WriteFileBytes(archivePath, WriteSevenZipArchive(entries));
    const auto tested = RunCommand("7zz t " + Quoted(archivePath));
    EXPECT_EQ(tested.exitCode, 0) << tested.output;
    EXPECT_NE(tested.output.find("Everything is Ok"), std::string::npos) << tested.output;

    const auto listed = RunCommand("7zz l -slt " + Quoted(archivePath));
    ASSERT_EQ(listed.exitCode, 0) << listed.output;
    for (const auto& entry : entries) {
        EXPECT_NE(listed.output.find("Path = " + entry.name + "\n"), std::string::npos) << entry.name;
    }
    EXPECT_NE(listed.output.find("Modified = 2000-01-01 00:00:00"), std::string::npos) << listed.output;

    const auto target = scratch.Path() / "out";
    const auto extracted = RunCommand("7zz x -y -o" + Quoted(target) + " " + Quoted(archivePath));
    ASSERT_EQ(extracted.exitCode, 0) << extracted.output;
    for (const auto& entry : entries) {
        const auto path = target / entry.name;
        if (entry.isFolder) {
            EXPECT_TRUE(std::filesystem::is_directory(path)) << entry.name;
        } else {
            EXPECT_EQ(ReadBytes(path), entry.data) << entry.name;
        }
    }
}

TEST(SevenZipWriter, ArchiveWithoutEntriesIsValid) {
    if (!test::ProgramAvailable("7zz"))
        GTEST_SKIP() << "7zz is not installed";
    ScratchFolder scratch;
    const auto archivePath = scratch.Path() / "empty.res";
    WriteFileBytes(archivePath, WriteSevenZipArchive({}));
    const auto tested = RunCommand("7zz t " + Quoted(archivePath));
    EXPECT_EQ(tested.exitCode, 0) << tested.output;
}

TEST(SevenZipWriter, RejectsNamesTheArchiveCannotHold) {
    const std::vector<std::vector<ArchiveEntry>> cases = {
        {{"a.txt", false, {}}, {"A.TXT", false, {}}},
        {{"", false, {}}},
        {{"/rooted", false, {}}},
        {{"bad\xFF.txt", false, {}}},
        {{"overlong\xC0\xAF.txt", false, {}}},
    };
    for (const auto& entries : cases) {
        EXPECT_THROW((void)WriteSevenZipArchive(entries), BuildError) << entries[0].name;
    }
}

}  // namespace
}  // namespace kaviro::builder
