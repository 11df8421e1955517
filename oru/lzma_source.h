#pragma once
// Coders that decode LZMA and LZMA2 streams of known unpacked size.

#include <cstdint>
#include <memory>
#include <vector>

#include "oru/byte_io.h"
#include "oru/input_buffer.h"
#include "oru/lzma_decoder.h"

namespace kaviro::oru {

// A plain LZMA stream: 5 property bytes in the coder record, no size header.
class LzmaSource : public ByteSource {
public:
    LzmaSource(ByteSource& input, const std::vector<uint8_t>& properties, uint64_t outputSize);
    size_t Read(uint8_t* buffer, size_t size) override;

private:
    void Refill();

    ByteSource& input_;
    uint64_t remaining_;
    LzmaDecoder decoder_;
    std::vector<uint8_t> inputBuffer_;
    const uint8_t* inputPosition_ = nullptr;
    const uint8_t* inputEnd_ = nullptr;
    bool inputExhausted_ = false;
    bool started_ = false;
};

// An LZMA2 stream: chunks of LZMA data or stored bytes with resets between them.
class Lzma2Source : public ByteSource {
public:
    Lzma2Source(ByteSource& input, const std::vector<uint8_t>& properties, uint64_t outputSize);
    size_t Read(uint8_t* buffer, size_t size) override;

private:
    bool StartChunk();

    InputBuffer input_;
    LzmaDecoder decoder_;
    std::vector<uint8_t> chunk_;
    const uint8_t* chunkPosition_ = nullptr;
    const uint8_t* chunkEnd_ = nullptr;
    uint32_t chunkRemaining_ = 0;
    bool chunkStored_ = false;
    bool needDictionaryReset_ = true;
    bool needModel_ = true;
    bool finished_ = false;
};

// Window size for a stream: its dictionary, but no more than the stream's length.
[[nodiscard]] uint64_t WindowSizeFor(uint64_t dictionarySize, uint64_t outputSize);

}  // namespace kaviro::oru
