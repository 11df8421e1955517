// Extended-length output paths and the roots folder creation skips.

#include <gtest/gtest.h>

#include "oru/output_path.h"

namespace kaviro::oru {
namespace {

TEST(OutputPath, ExtendedLengthForms) {
    struct PathCase {
        const wchar_t* path;
        const wchar_t* extended;
        size_t rootOfExtended;
    };
    const PathCase cases[] = {
        {L"C:\\out\\a", L"\\\\?\\C:\\out\\a", 7},
        {L"z:\\", L"\\\\?\\z:\\", 7},
        {L"\\\\server\\share\\out", L"\\\\?\\UNC\\server\\share\\out", 21},
        {L"\\\\server\\share", L"\\\\?\\UNC\\server\\share", 20},
        {L"\\\\?\\C:\\already", L"\\\\?\\C:\\already", 7},
        {L"\\\\?\\UNC\\s\\t\\x", L"\\\\?\\UNC\\s\\t\\x", 12},
        {L"\\\\.\\device", L"\\\\.\\device", 10},
        {L"relative\\folder", L"relative\\folder", 0},
    };
    for (const PathCase& test : cases) {
        const std::wstring extended = ExtendedLengthPath(test.path);
        EXPECT_EQ(extended, test.extended);
        EXPECT_EQ(PathRootLength(extended), test.rootOfExtended) << std::string(extended.begin(), extended.end());
    }
}

TEST(OutputPath, RootsOfPlainPaths) {
    EXPECT_EQ(PathRootLength(L"C:\\a\\b"), 3u);
    EXPECT_EQ(PathRootLength(L"\\\\server\\share\\a"), 15u);
    EXPECT_EQ(PathRootLength(L"a\\b"), 0u);
}

}  // namespace
}  // namespace kaviro::oru
