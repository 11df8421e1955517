#include "oru/bcj2_source.h"

#include <algorithm>

#include "oru/archive_error.h"

namespace kaviro::oru {
namespace {

bool IsJump(uint8_t previous, uint8_t current) {
    return (current & 0xFE) == 0xE8 || (previous == 0x0F && (current & 0xF0) == 0x80);
}

}  // namespace

Bcj2Source::Bcj2Source(ByteSource& main, ByteSource& calls, ByteSource& jumps, ByteSource& flags,
                       uint64_t outputSize)
    : main_(main), calls_(calls, 4096), jumps_(jumps, 4096), flags_(flags, 4096), outputSize_(outputSize) {
    std::fill(std::begin(probabilities_), std::end(probabilities_), uint16_t{1024});
}

uint8_t Bcj2Source::FlagByte() {
    uint8_t value = 0;
    // Past its end the flag stream reads as zeros; damaged data then fails the CRC.
    if (!flags_.ReadByte(value)) {
        value = 0;
    }
    return value;
}

unsigned Bcj2Source::DecodeFlag(uint16_t& probability) {
    const uint32_t bound = (range_ >> 11) * probability;
    unsigned bit;
    if (code_ < bound) {
        range_ = bound;
        probability = static_cast<uint16_t>(probability + ((2048 - probability) >> 5));
        bit = 0;
    } else {
        range_ -= bound;
        code_ -= bound;
        probability = static_cast<uint16_t>(probability - (probability >> 5));
        bit = 1;
    }
    if (range_ < (1u << 24)) {
        range_ <<= 8;
        code_ = (code_ << 8) | FlagByte();
    }
    return bit;
}

size_t Bcj2Source::Read(uint8_t* buffer, size_t size) {
    if (!started_) {
        for (int i = 0; i < 5; ++i) {
            code_ = (code_ << 8) | FlagByte();
        }
        started_ = true;
    }
    size_t done = 0;
    while (done < size) {
        if (pendingIndex_ < 4) {
            buffer[done++] = pending_[pendingIndex_++];
            continue;
        }
        if (produced_ >= outputSize_) {
            break;
        }
        uint8_t current;
        if (!main_.ReadByte(current)) {
            break;
        }
        buffer[done++] = current;
        ++produced_;
        if (!IsJump(previous_, current) || produced_ >= outputSize_) {
            previous_ = current;
            continue;
        }
        uint16_t& probability =
            current == 0xE8 ? probabilities_[previous_] : (current == 0xE9 ? probabilities_[256] : probabilities_[257]);
        if (DecodeFlag(probability) == 0) {
            previous_ = current;
            continue;
        }
        uint8_t address[4];
        (current == 0xE8 ? calls_ : jumps_).ReadExact(address, 4);
        const uint32_t target = static_cast<uint32_t>(address[0]) << 24 | static_cast<uint32_t>(address[1]) << 16 |
                                static_cast<uint32_t>(address[2]) << 8 | address[3];
        const uint32_t relative = target - static_cast<uint32_t>(produced_ + 4);
        for (int i = 0; i < 4; ++i) {
            pending_[i] = static_cast<uint8_t>(relative >> (8 * i));
        }
        pendingIndex_ = 0;
        produced_ += 4;
        previous_ = pending_[3];
    }
    return done;
}

}  // namespace kaviro::oru
