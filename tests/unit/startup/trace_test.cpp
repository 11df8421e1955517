#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine/trace.h"

namespace kaviro {
namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Utf16(const std::string& ascii) {
    std::string bytes;
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

// The trace state is process-wide and "first write" happens once per process,
// so the whole life of the trace is one test.
TEST(Trace, FirstWriteEmptiesTheFileLaterWritesAppend) {
    const std::string path = testing::TempDir() + "trace_test.txt";
    const std::string other = testing::TempDir() + "trace_test_other.txt";
    {
        std::ofstream(path, std::ios::binary) << "old contents";
        std::ofstream(other, std::ios::binary) << Utf16("kept\r\n");
    }
    WriteTrace("<ignored while no path is set>");
    EXPECT_EQ(ReadBytes(path), "old contents");

    SetTracePath(path);
    WriteTrace("<Kaviro>");
    WriteTrace("  <SetupSplash>");
    EXPECT_EQ(ReadBytes(path), Utf16("<Kaviro>\r\n  <SetupSplash>\r\n"));  // no byte-order mark

    // The file is closed after every line: removing it between lines works
    // and the next line starts a new file without truncating anything else.
    ASSERT_EQ(std::remove(path.c_str()), 0);
    WriteTrace("    <StubSize>");
    EXPECT_EQ(ReadBytes(path), Utf16("    <StubSize>\r\n"));

    // A path changed during the run (the LOGGED variable) is appended to.
    SetTracePath(other);
    WriteTrace("</Kaviro>");
    EXPECT_EQ(ReadBytes(other), Utf16("kept\r\n</Kaviro>\r\n"));
    EXPECT_EQ(TracePath(), other);

    SetTracePath("");
    WriteTrace("<after>");
    EXPECT_EQ(ReadBytes(other), Utf16("kept\r\n</Kaviro>\r\n"));
    std::remove(path.c_str());
    std::remove(other.c_str());
}

}  // namespace
}  // namespace kaviro
