// Entry names become paths below the output folder, or are refused.

#include <gtest/gtest.h>

#include "oru/entry_path.h"
#include "oru_test_support.h"

namespace kaviro::oru::testing {
namespace {

TEST(SafeRelativePath, NormalisesOrRefuses) {
    struct PathCase {
        const char* name;
        const char* expected;  // nullptr: refused
    };
    const PathCase cases[] = {
        {"file.txt", "file.txt"},
        {"dir/sub/file.txt", "dir/sub/file.txt"},
        {"dir\\sub\\file.txt", "dir/sub/file.txt"},
        {"dir//./file", "dir/file"},
        {"dir/../file", "file"},
        {"a/b/../../c", "c"},
        {"name with spaces.txt", "name with spaces.txt"},
        {"..", nullptr},
        {"../escape.txt", nullptr},
        {"..\\escape.txt", nullptr},
        {"dir/../../escape.txt", nullptr},
        {"dir\\..\\..\\escape.txt", nullptr},
        {"/etc/passwd", nullptr},
        {"\\Windows\\win.ini", nullptr},
        {"\\\\server\\share\\x", nullptr},
        {"C:\\Windows\\x.dll", nullptr},
        {"c:relative", nullptr},
        {"file.txt:stream", nullptr},
        {"dir/.. /x", nullptr},
        {"dir/.../x", nullptr},
        {"", nullptr},
        {".", nullptr},
        {"dir/..", nullptr},
    };
    for (const PathCase& test : cases) {
        const auto path = SafeRelativePath(Utf16(test.name));
        if (test.expected == nullptr) {
            EXPECT_FALSE(path.has_value()) << test.name;
        } else {
            ASSERT_TRUE(path.has_value()) << test.name;
            EXPECT_EQ(Utf8(*path), test.expected) << test.name;
        }
    }
}

}  // namespace
}  // namespace kaviro::oru::testing
