// Bad input: non-archives, truncated and damaged archives, wrong passwords,
// unsupported methods and cancellation fail with a code, never crash, and
// never leave a file that looks complete.

#include <gtest/gtest.h>

#include "oru/archive_error.h"
#include "oru/crc32.h"
#include "oru_test_support.h"

namespace kaviro::oru::testing {
namespace {

// Runs an extraction and returns the error code it failed with (nullopt on success).
std::optional<ArchiveErrorCode> ExtractionError(const Bytes& archive, const std::string& password,
                                                ExtractionResult& result) {
    try {
        ExtractAll(archive, password, result);
        return std::nullopt;
    } catch (const ArchiveError& error) {
        return error.Code();
    }
}

class DamagedArchives : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<TempFolder>();
        const auto tree = folder_->Path() / "tree";
        WriteFile(tree / "one.txt", TextLikeData(50000, 11));
        WriteFile(tree / "two.bin", RandomData(20000, 12));
        WriteFile(tree / "three.txt", TextLikeData(30000, 13));
        const auto make = [&](const char* name, const char* switches) {
            Make7z(folder_->Path() / name, tree, switches);
            return ReadFile(folder_->Path() / name);
        };
        solid_ = make("solid.7z", "-m0=LZMA2");
        nonSolid_ = make("non_solid.7z", "-m0=LZMA -ms=off -mhc=off");
        encrypted_ = make("encrypted.7z", "-m0=LZMA2 -pright");
        encryptedHeaders_ = make("encrypted_headers.7z", "-m0=LZMA2 -pright -mhe=on");
        unsupported_ = make("ppmd.7z", "-m0=PPMd");
        stored_ = make("stored.7z", "-m0=Copy -ms=off");
        storedSolid_ = make("stored_solid.7z", "-m0=Copy");
    }
    static void TearDownTestSuite() { folder_.reset(); }

    static std::unique_ptr<TempFolder> folder_;
    static Bytes solid_, nonSolid_, encrypted_, encryptedHeaders_, unsupported_, stored_, storedSolid_;
};

std::unique_ptr<TempFolder> DamagedArchives::folder_;
Bytes DamagedArchives::solid_, DamagedArchives::nonSolid_, DamagedArchives::encrypted_,
    DamagedArchives::encryptedHeaders_, DamagedArchives::unsupported_, DamagedArchives::stored_,
    DamagedArchives::storedSolid_;

TEST_F(DamagedArchives, NonArchivesCannotBeOpened) {
    const Bytes cases[] = {{}, TextLikeData(10, 1), TextLikeData(5000, 2), Bytes(64, 0)};
    for (const Bytes& data : cases) {
        ExtractionResult result;
        EXPECT_EQ(ExtractionError(data, "", result), ArchiveErrorCode::CannotOpen) << data.size();
    }
}

TEST_F(DamagedArchives, EveryTruncationFails) {
    for (const Bytes* archive : {&solid_, &nonSolid_}) {
        for (size_t length = 0; length < archive->size(); length += 1 + archive->size() / 97) {
            const Bytes truncated(archive->begin(), archive->begin() + static_cast<ptrdiff_t>(length));
            ExtractionResult result;
            EXPECT_TRUE(ExtractionError(truncated, "", result).has_value()) << length;
        }
    }
}

TEST_F(DamagedArchives, DamagedDataNeverYieldsWrongFiles) {
    // Flip bytes all over the archive: every outcome is an error or the
    // original files; files that failed their check are never committed.
    ExtractionResult original;
    ExtractAll(solid_, "", original);
    for (const Bytes* archive : {&solid_, &nonSolid_}) {
        for (size_t at = 0; at < archive->size(); at += 1 + archive->size() / 151) {
            Bytes damaged = *archive;
            damaged[at] ^= 0x55;
            ExtractionResult result;
            (void)ExtractionError(damaged, "", result);
            for (const auto& [path, content] : result.target.files) {
                EXPECT_TRUE(content == original.target.files.at(path)) << "byte " << at << " " << path;
            }
        }
    }
}

TEST_F(DamagedArchives, CrcMismatchLeavesNoCompleteFile) {
    // Stored data starts right after the 32-byte signature header: a flipped
    // byte there decodes fine and must fail the file's CRC.
    for (const Bytes* archive : {&stored_, &storedSolid_}) {
        Bytes damaged = *archive;
        damaged[32 + 100] ^= 0x01;
        ExtractionResult result;
        EXPECT_EQ(ExtractionError(damaged, "", result), ArchiveErrorCode::CrcMismatch);
        EXPECT_EQ(result.target.discarded, 1);
        EXPECT_TRUE(result.target.files.empty());  // the damaged file is the first one written
    }
}

TEST_F(DamagedArchives, PasswordProblemsAreReported) {
    struct PasswordCase {
        const Bytes* archive;
        const char* password;
        ArchiveErrorCode expected;
    };
    const PasswordCase cases[] = {
        {&encrypted_, "wrong", ArchiveErrorCode::WrongPassword},
        {&encrypted_, "", ArchiveErrorCode::WrongPassword},
        {&encryptedHeaders_, "wrong", ArchiveErrorCode::WrongPassword},
        {&encryptedHeaders_, "", ArchiveErrorCode::WrongPassword},
    };
    for (const PasswordCase& test : cases) {
        ExtractionResult result;
        EXPECT_EQ(ExtractionError(*test.archive, test.password, result), test.expected) << test.password;
        EXPECT_TRUE(result.target.files.empty());
    }
    ExtractionResult right;
    EXPECT_EQ(ExtractionError(encryptedHeaders_, "right", right), std::nullopt);
    EXPECT_EQ(right.target.files.size(), 3u);
}

TEST_F(DamagedArchives, UnsupportedMethodIsReported) {
    ExtractionResult result;
    EXPECT_EQ(ExtractionError(unsupported_, "", result), ArchiveErrorCode::UnsupportedMethod);
}

TEST_F(DamagedArchives, CancellingStopsPromptly) {
    for (int64_t cancelAfter : {0, 1, 3}) {
        ExtractionResult result;
        result.observer = CountingObserver(cancelAfter);
        EXPECT_EQ(ExtractionError(solid_, "", result), ArchiveErrorCode::Cancelled);
        EXPECT_EQ(result.observer.calls, cancelAfter + 1);
        EXPECT_LT(result.target.files.size(), 3u);
    }
}

TEST(HostileArchive, UnsafeNamesAreRefusedBeforeAnythingIsWritten) {
    TempFolder folder;
    WriteFile(folder.Path() / "tree" / "aaaa.txt", TextLikeData(100, 1));
    WriteFile(folder.Path() / "tree" / "bbbbbbbbbbbb.txt", TextLikeData(100, 2));
    Make7z(folder.Path() / "plain.7z", folder.Path() / "tree", "-mhc=off -ms=off");
    const Bytes archive = ReadFile(folder.Path() / "plain.7z");
    const char* const hostileNames[] = {"../../evil.txt", "..\\..\\e.txt", "/etc/evil.txt", "C:\\Win\\e.txt",
                                        "x/../../e.txt", "\\\\srv\\s\\e"};
    for (const std::string name : hostileNames) {
        const std::string original = std::string("bbbbbbbbbbbb.txt").substr(0, name.size());
        Bytes hostile = RenameEntry(archive, original, name);
        ExtractionResult result;
        EXPECT_EQ(ExtractionError(hostile, "", result), ArchiveErrorCode::UnsafeEntryPath) << name;
        EXPECT_TRUE(result.target.files.empty()) << name;
    }
}

TEST(EmptyArchive, HasNoEntries) {
    // A signature header that points at no next header.
    Bytes archive(32, 0);
    const uint8_t signature[] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 4};
    std::copy(std::begin(signature), std::end(signature), archive.begin());
    const uint32_t crc = Crc32(archive.data() + 12, 20);
    for (int i = 0; i < 4; ++i) {
        archive[8 + i] = static_cast<uint8_t>(crc >> (8 * i));
    }
    ExtractionResult result;
    ExtractAll(archive, "", result);
    EXPECT_TRUE(result.target.files.empty());
}

}  // namespace
}  // namespace kaviro::oru::testing
