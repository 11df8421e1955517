#pragma once
// Failures of the archive library. Inside the library every failure is an
// ArchiveError carrying one of these codes; the DLL exports turn it into the
// code that GetLastArchiveError reports.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kaviro::oru {

enum class ArchiveErrorCode : int32_t {
    GeneralFailure = 1000,
    ArchiveNotFound = 1001,
    IllegalTargetPath = 1002,
    CannotOpen = 1003,  // not an archive, damaged headers, or wrong password for encrypted headers
    DataError = 1004,   // damaged packed data
    CrcMismatch = 1005,
    UnsupportedMethod = 1006,
    WriteFailed = 1007,
    UnsafeEntryPath = 1008,  // absolute name, drive, or ".." climbing out of the output folder
    Cancelled = 1009,
    InvalidArgument = 1010,
    OutOfMemory = 1011,
    WrongPassword = 1012,  // encrypted content that fails to decode or to match its CRC
};

class ArchiveError : public std::runtime_error {
public:
    ArchiveError(ArchiveErrorCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    [[nodiscard]] ArchiveErrorCode Code() const { return code_; }

private:
    ArchiveErrorCode code_;
};

[[noreturn]] inline void ThrowDataError(const char* what) { throw ArchiveError(ArchiveErrorCode::DataError, what); }

}  // namespace kaviro::oru
