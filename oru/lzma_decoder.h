#pragma once
// The LZMA decoder: a range decoder with the literal and match models, and
// the sliding window that decoded bytes pass through. It is driven in steps
// by LzmaSource (plain LZMA streams) and Lzma2Source (LZMA2 chunks); neither
// the window nor the models make any OS call.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kaviro::oru {

struct LzmaProperties {
    unsigned literalContextBits = 3;
    unsigned literalPositionBits = 0;
    unsigned positionBits = 2;
    uint32_t dictionarySize = 0;
};

// Decodes the lc/lp/pb byte of LZMA headers; throws DataError when out of range.
[[nodiscard]] LzmaProperties DecodeLzmaModelByte(uint8_t value);

// Largest window the library allocates, whatever a header asks for.
inline constexpr uint64_t kMaxWindowSize = sizeof(void*) == 4 ? (uint64_t{512} << 20) : (uint64_t{1536} << 20);

// Bytes of readable input the decoder may need beyond the position where it
// starts a symbol. Input buffers are padded by at least this much.
inline constexpr size_t kLzmaInputMargin = 64;

class LzmaDecoder {
public:
    // windowSize: the largest window this stream needs (dictionary size, or
    // less when the stream is shorter). The window grows up to it as output
    // is produced, so a header cannot make the decoder allocate memory that
    // real data does not fill.
    explicit LzmaDecoder(uint64_t windowSize);

    void SetModel(const LzmaProperties& properties);  // also resets the state
    void ResetState();
    void ResetDictionary();
    // Starts the range decoder on 5 bytes at input (throws DataError if malformed).
    void StartRange(const uint8_t*& input);

    // Decoded bytes not yet taken by the consumer.
    [[nodiscard]] size_t Pending() const { return position_ - readPosition_; }
    size_t Take(uint8_t* buffer, size_t size);
    // With nothing pending: makes room in the window (grows or wraps it) and
    // returns the contiguous room at the write position.
    size_t PrepareRoom();
    [[nodiscard]] uint8_t* WritePointer() { return window_.get() + position_; }
    // Accounts for bytes written at WritePointer() (stored LZMA2 chunks).
    void CommitStored(size_t size);

    // Decodes up to limit bytes (limit <= room) while the input pointer stays
    // below inputLimit (inputs may be read up to kLzmaInputMargin further).
    // Returns the bytes produced. Throws DataError on an invalid distance or
    // an end marker.
    size_t Decode(size_t limit, const uint8_t*& input, const uint8_t* inputLimit);

    // True when the range decoder ended cleanly (code zero), as encoders leave it.
    [[nodiscard]] bool RangeFinished() const { return code_ == 0; }
    // A match that the last Decode call could not finish.
    [[nodiscard]] bool HasPendingMatch() const { return pendingLength_ != 0; }

private:
    void GrowWindow();

    struct LengthModel {
        uint16_t choice;
        uint16_t choice2;
        uint16_t low[16][8];
        uint16_t middle[16][8];
        uint16_t high[256];
    };
    struct Model {
        uint16_t isMatch[12][16];
        uint16_t isRep[12];
        uint16_t isRepG0[12];
        uint16_t isRepG1[12];
        uint16_t isRepG2[12];
        uint16_t isRep0Long[12][16];
        uint16_t positionSlot[4][64];
        uint16_t specialPosition[114];
        uint16_t align[16];
        LengthModel length;
        LengthModel repLength;
    };

    // Window.
    std::unique_ptr<uint8_t[]> window_;
    size_t capacity_ = 0;
    size_t windowLimit_;
    size_t position_ = 0;
    size_t readPosition_ = 0;
    uint64_t wrapBase_ = 0;  // bytes produced before window position 0 since the last dictionary reset
    bool windowFull_ = false;

    // Models and state.
    LzmaProperties properties_;
    Model model_{};
    std::vector<uint16_t> literals_;
    unsigned state_ = 0;
    uint32_t reps_[4] = {0, 0, 0, 0};
    uint32_t pendingLength_ = 0;
    uint32_t range_ = 0xFFFFFFFF;
    uint32_t code_ = 0;
};

}  // namespace kaviro::oru
