#pragma once
// Buffered reading from a ByteSource: single bytes and exact runs, for the
// coders that parse framing (LZMA2 chunk headers, the BCJ2 side streams).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "oru/byte_io.h"

namespace kaviro::oru {

class InputBuffer {
public:
    explicit InputBuffer(ByteSource& source, size_t bufferSize = size_t{1} << 16);

    // Returns false at the end of the stream.
    bool ReadByte(uint8_t& value) {
        if (position_ == end_ && !Fill()) {
            return false;
        }
        value = buffer_[position_++];
        return true;
    }
    // Reads exactly size bytes or throws DataError (the stream ended early).
    void ReadExact(uint8_t* destination, size_t size);
    // Reads up to size bytes; returns fewer only at the end of the stream.
    size_t Read(uint8_t* destination, size_t size);

private:
    bool Fill();

    ByteSource& source_;
    std::vector<uint8_t> buffer_;
    size_t position_ = 0;
    size_t end_ = 0;
};

}  // namespace kaviro::oru
