#pragma once
// Bounded reading of header bytes: every read is checked against what
// remains, and a failed check is a damaged-header error.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "oru/archive_error.h"

namespace kaviro::oru {

class HeaderCursor {
public:
    HeaderCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    [[nodiscard]] size_t Remaining() const { return size_ - position_; }
    [[nodiscard]] bool AtEnd() const { return position_ == size_; }

    uint8_t ReadByte() {
        Require(1);
        return data_[position_++];
    }
    // The format's variable-length number: the count of leading one bits of
    // the first byte gives the count of little-endian bytes that follow.
    uint64_t ReadNumber();
    uint32_t ReadUInt32();
    uint64_t ReadUInt64();
    std::vector<uint8_t> ReadBytes(size_t count);
    const uint8_t* Take(size_t count) {
        Require(count);
        const uint8_t* at = data_ + position_;
        position_ += count;
        return at;
    }
    void Skip(uint64_t count) { Take(CheckedCount(count)); }
    // A cursor over the next count bytes; this cursor moves past them.
    HeaderCursor Sub(uint64_t count) {
        const size_t size = CheckedCount(count);
        return HeaderCursor(Take(size), size);
    }
    // A count of items that each take at least bytesPerItem bytes of what remains.
    size_t ReadCount(size_t bytesPerItem = 1) { return CheckedCount(ReadNumber(), bytesPerItem); }
    size_t CheckedCount(uint64_t count, size_t bytesPerItem = 1) const {
        if (count > Remaining() / bytesPerItem) {
            throw ArchiveError(ArchiveErrorCode::CannotOpen, "archive header count exceeds its data");
        }
        return static_cast<size_t>(count);
    }

private:
    void Require(size_t count) const {
        if (count > Remaining()) {
            throw ArchiveError(ArchiveErrorCode::CannotOpen, "archive header ends early");
        }
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

}  // namespace kaviro::oru
