#pragma once
// Reversible in-place filters (branch converters, delta) applied to a stream.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "oru/byte_io.h"

namespace kaviro::oru {

// Converts bytes in place. Returns how many leading bytes are final; the rest
// are handed in again, followed by more data, on the next call. At the end of
// the stream the unconverted rest is passed through unchanged.
class Filter {
public:
    virtual ~Filter() = default;
    virtual size_t Convert(uint8_t* data, size_t size) = 0;
};

// Undoes the x86 call/jump address conversion (E8/E9 opcodes).
class X86BranchFilter : public Filter {
public:
    size_t Convert(uint8_t* data, size_t size) override;

private:
    uint32_t position_ = 0;
    uint32_t previousMask_ = 0;
};

// Undoes the ARM64 BL/ADRP address conversion.
class Arm64BranchFilter : public Filter {
public:
    explicit Arm64BranchFilter(uint32_t startPosition) : position_(startPosition) {}
    size_t Convert(uint8_t* data, size_t size) override;

private:
    uint32_t position_;
};

// Undoes byte-wise delta coding with a distance of 1 to 256.
class DeltaFilter : public Filter {
public:
    explicit DeltaFilter(unsigned distance) : distance_(distance) {}
    size_t Convert(uint8_t* data, size_t size) override;

private:
    unsigned distance_;
    std::array<uint8_t, 256> history_{};
    uint8_t index_ = 0;
};

class FilterSource : public ByteSource {
public:
    FilterSource(ByteSource& input, std::unique_ptr<Filter> filter);
    size_t Read(uint8_t* buffer, size_t size) override;

private:
    ByteSource& input_;
    std::unique_ptr<Filter> filter_;
    std::vector<uint8_t> buffer_;
    size_t begin_ = 0;      // first byte not yet handed out
    size_t converted_ = 0;  // end of the final bytes
    size_t filled_ = 0;     // end of the bytes read
    bool inputEnded_ = false;
};

}  // namespace kaviro::oru
