#pragma once
// The archive file as the core's random-access input (Windows builds only).

#include <string>

#include "oru/byte_io.h"
#include "oru/win32_handle.h"

namespace kaviro::oru {

class Win32ArchiveFile : public RandomAccessInput {
public:
    // Throws ArchiveError: ArchiveNotFound when the file does not exist,
    // CannotOpen when it cannot be opened for reading.
    explicit Win32ArchiveFile(const std::wstring& path);
    [[nodiscard]] uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t size) override;

private:
    UniqueHandle file_;
    uint64_t size_ = 0;
};

}  // namespace kaviro::oru
