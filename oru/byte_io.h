#pragma once
// The small interfaces through which the decoder core reaches its input and
// output. The core itself makes no OS calls: files, memory buffers or pipes
// are adapted to these by the caller.

#include <cstddef>
#include <cstdint>

namespace kaviro::oru {

// The archive file: a random-access byte range of known size.
class RandomAccessInput {
public:
    virtual ~RandomAccessInput() = default;
    [[nodiscard]] virtual uint64_t Size() const = 0;
    // Reads up to size bytes at offset; returns the count read (less only at the end).
    // Throws ArchiveError on a read failure.
    virtual size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t size) = 0;
};

// A sequential stream of decoded bytes, read in blocks (one virtual call per
// block, never per byte).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to size bytes; returns 0 only at the end of the stream.
    virtual size_t Read(uint8_t* buffer, size_t size) = 0;
};

// Where the bytes of one extracted file go.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all bytes or throws ArchiveError(WriteFailed).
    virtual void Write(const uint8_t* data, size_t size) = 0;
};

}  // namespace kaviro::oru
