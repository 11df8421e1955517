#include "oru/filter_source.h"

#include <algorithm>
#include <cstring>

namespace kaviro::oru {
namespace {

constexpr size_t kFilterBufferSize = size_t{1} << 16;

uint32_t ReadLittle32(const uint8_t* data) {
    return static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
           static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
}

void WriteLittle32(uint8_t* data, uint32_t value) {
    data[0] = static_cast<uint8_t>(value);
    data[1] = static_cast<uint8_t>(value >> 8);
    data[2] = static_cast<uint8_t>(value >> 16);
    data[3] = static_cast<uint8_t>(value >> 24);
}

bool IsZeroOrFF(uint8_t value) { return value == 0 || value == 0xFF; }

}  // namespace

// The x86 converter tracks, in a 3-bit mask, which of the three bytes before
// the current opcode were themselves E8/E9 opcodes; some patterns mean the
// bytes are not a real call and are left alone.
size_t X86BranchFilter::Convert(uint8_t* data, size_t size) {
    static constexpr bool kMaskAllowed[8] = {true, true, true, false, true, false, false, false};
    static constexpr unsigned kMaskBitNumber[8] = {0, 1, 2, 2, 3, 3, 3, 3};
    if (size < 5) {
        return 0;
    }
    const uint32_t base = position_ + 5;
    const size_t limit = size - 4;
    size_t at = 0;
    size_t lastOpcode = static_cast<size_t>(-1);
    uint32_t mask = previousMask_;
    for (;;) {
        while (at < limit && (data[at] & 0xFE) != 0xE8) {
            ++at;
        }
        if (at >= limit) {
            break;
        }
        const size_t gap = at - lastOpcode;
        if (gap > 3) {
            mask = 0;
        } else {
            mask = (mask << (gap - 1)) & 7;
            if (mask != 0 && (!kMaskAllowed[mask] || IsZeroOrFF(data[at + 4 - kMaskBitNumber[mask]]))) {
                lastOpcode = at;
                mask = ((mask << 1) & 7) | 1;
                ++at;
                continue;
            }
        }
        lastOpcode = at;
        if (!IsZeroOrFF(data[at + 4])) {
            mask = ((mask << 1) & 7) | 1;
            ++at;
            continue;
        }
        uint32_t source = ReadLittle32(data + at + 1);
        uint32_t destination;
        for (;;) {
            destination = source - (base + static_cast<uint32_t>(at));
            if (mask == 0) {
                break;
            }
            const unsigned shift = kMaskBitNumber[mask] * 8;
            if (!IsZeroOrFF(static_cast<uint8_t>(destination >> (24 - shift)))) {
                break;
            }
            source = destination ^ ((1u << (32 - shift)) - 1);
        }
        destination &= 0x01FFFFFF;
        destination |= (destination & 0x01000000) != 0 ? 0xFF000000u : 0;
        WriteLittle32(data + at + 1, destination);
        at += 5;
    }
    const size_t gap = at - lastOpcode;
    previousMask_ = gap > 3 ? 0 : ((mask << (gap - 1)) & 7);
    position_ += static_cast<uint32_t>(at);
    return at;
}

size_t Arm64BranchFilter::Convert(uint8_t* data, size_t size) {
    size_t at = 0;
    for (; at + 4 <= size; at += 4) {
        const uint32_t pc = position_ + static_cast<uint32_t>(at);
        uint32_t instruction = ReadLittle32(data + at);
        if ((instruction >> 26) == 0x25) {  // BL
            instruction = 0x94000000u | ((instruction - (pc >> 2)) & 0x03FFFFFFu);
            WriteLittle32(data + at, instruction);
        } else if ((instruction & 0x9F000000u) == 0x90000000u) {  // ADRP
            const uint32_t source = ((instruction >> 29) & 3) | ((instruction >> 3) & 0x001FFFFCu);
            if (((source + 0x00020000u) & 0x001C0000u) != 0) {
                continue;
            }
            const uint32_t destination = source - (pc >> 12);
            instruction &= 0x9000001Fu;
            instruction |= (destination & 3) << 29;
            instruction |= (destination & 0x0003FFFCu) << 3;
            instruction |= (0u - (destination & 0x00020000u)) & 0x00E00000u;
            WriteLittle32(data + at, instruction);
        }
    }
    position_ += static_cast<uint32_t>(at);
    return at;
}

size_t DeltaFilter::Convert(uint8_t* data, size_t size) {
    uint8_t index = index_;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t value = static_cast<uint8_t>(data[i] + history_[static_cast<uint8_t>(index - distance_)]);
        history_[index++] = value;
        data[i] = value;
    }
    index_ = index;
    return size;
}

FilterSource::FilterSource(ByteSource& input, std::unique_ptr<Filter> filter)
    : input_(input), filter_(std::move(filter)), buffer_(kFilterBufferSize) {}

size_t FilterSource::Read(uint8_t* buffer, size_t size) {
    while (begin_ == converted_) {
        if (inputEnded_ && converted_ == filled_) {
            return 0;
        }
        // Keep the unconverted tail and read more behind it.
        std::memmove(buffer_.data(), buffer_.data() + converted_, filled_ - converted_);
        filled_ -= converted_;
        begin_ = 0;
        converted_ = 0;
        while (!inputEnded_ && filled_ < buffer_.size()) {
            const size_t count = input_.Read(buffer_.data() + filled_, buffer_.size() - filled_);
            if (count == 0) {
                inputEnded_ = true;
            }
            filled_ += count;
        }
        converted_ = filter_->Convert(buffer_.data(), filled_);
        if (inputEnded_) {
            converted_ = filled_;
        }
    }
    const size_t count = std::min(size, converted_ - begin_);
    std::memcpy(buffer, buffer_.data() + begin_, count);
    begin_ += count;
    return count;
}

}  // namespace kaviro::oru
