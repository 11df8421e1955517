#pragma once
// The BCJ2 decoder: rebuilds x86 code from four streams (main bytes, call
// addresses, jump addresses, and range-coded flags saying which opcodes were
// converted).

#include <cstdint>

#include "oru/byte_io.h"
#include "oru/input_buffer.h"

namespace kaviro::oru {

class Bcj2Source : public ByteSource {
public:
    Bcj2Source(ByteSource& main, ByteSource& calls, ByteSource& jumps, ByteSource& flags, uint64_t outputSize);
    size_t Read(uint8_t* buffer, size_t size) override;

private:
    unsigned DecodeFlag(uint16_t& probability);
    uint8_t FlagByte();

    InputBuffer main_;
    InputBuffer calls_;
    InputBuffer jumps_;
    InputBuffer flags_;
    uint64_t outputSize_;
    uint64_t produced_ = 0;  // bytes produced or queued in pending_
    uint8_t pending_[4] = {};
    unsigned pendingIndex_ = 4;
    uint8_t previous_ = 0;
    bool started_ = false;
    uint32_t range_ = 0xFFFFFFFF;
    uint32_t code_ = 0;
    uint16_t probabilities_[258];
};

}  // namespace kaviro::oru
