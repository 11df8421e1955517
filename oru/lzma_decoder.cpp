#include "oru/lzma_decoder.h"

#include <algorithm>
#include <cstring>

#include "oru/archive_error.h"

#if defined(__GNUC__)
#define ORU_ALWAYS_INLINE inline __attribute__((always_inline))
#define ORU_LIKELY(x) __builtin_expect(!!(x), 1)
#else
#define ORU_ALWAYS_INLINE inline
#define ORU_LIKELY(x) (x)
#endif

namespace kaviro::oru {
namespace {

constexpr unsigned kProbabilityBits = 11;
constexpr uint16_t kProbabilityInit = 1u << (kProbabilityBits - 1);
constexpr unsigned kMoveBits = 5;
constexpr uint32_t kTopValue = 1u << 24;
// The first window allocation: windows up to this size are allocated whole
// (a bounded cost whatever a header says); larger ones grow with the data.
constexpr size_t kFirstWindowSize = size_t{64} << 20;

void FillProbabilities(uint16_t* probabilities, size_t count) {
    std::fill(probabilities, probabilities + count, kProbabilityInit);
}

// The range decoder's registers, kept in locals of the decoding loop so the
// compiler holds them in machine registers.
//
// Two ways to decode a bit: Bit branches on it, for decisions that steer the
// decoding anyway (match or literal, which kind of match) and for length and
// distance-slot trees, whose bits are predictable often enough; BitValue
// computes it without a branch (conditional moves, or masks and arithmetic
// where those are not available), for the bits of
// literals and of distances' low bits, which are close to random and would
// otherwise cost a mispredicted branch about every other bit. Measured both
// ways: branch-free trees everywhere run slower than this mix.
struct RangeRegisters {
    uint32_t range;
    uint32_t code;
    const uint8_t* input;

    ORU_ALWAYS_INLINE void Normalize() {
        if (range < kTopValue) {
            range <<= 8;
            code = (code << 8) | *input++;
        }
    }
    ORU_ALWAYS_INLINE unsigned Bit(uint16_t& probability) {
        const uint32_t bound = (range >> kProbabilityBits) * probability;
        unsigned bit;
        if (code < bound) {
            range = bound;
            probability = static_cast<uint16_t>(probability + (((1u << kProbabilityBits) - probability) >> kMoveBits));
            bit = 0;
        } else {
            range -= bound;
            code -= bound;
            probability = static_cast<uint16_t>(probability - (probability >> kMoveBits));
            bit = 1;
        }
        Normalize();
        return bit;
    }
    ORU_ALWAYS_INLINE unsigned BitValue(uint16_t& probability) {
        const uint32_t p = probability;
        uint32_t bound = (range >> kProbabilityBits) * p;
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
        // Both outcomes are computed and the right one picked by conditional
        // moves, which GCC does not emit reliably on its own (it turns
        // ternaries back into branches). cmov exists on every x86 CPU since
        // the Pentium Pro and on every x64 CPU.
        const uint32_t rangeOne = range - bound;
        const uint32_t codeOne = code - bound;
        uint32_t updated = p + (((1u << kProbabilityBits) - p) >> kMoveBits);
        const uint32_t updatedOne = p - (p >> kMoveBits);
        uint8_t bit;
        asm("cmpl %[bound], %[code]\n\t"
            "setae %[bit]\n\t"
            "cmovael %[rangeOne], %[bound]\n\t"
            "cmovael %[codeOne], %[code]\n\t"
            "cmovael %[updatedOne], %[updated]"
            : [bound] "+r"(bound), [code] "+r"(code), [updated] "+r"(updated), [bit] "=&q"(bit)
            : [rangeOne] "rm"(rangeOne), [codeOne] "rm"(codeOne), [updatedOne] "rm"(updatedOne)
            : "cc");
        range = bound;
        probability = static_cast<uint16_t>(updated);
        Normalize();
        return bit;
#else
        // All ones for a 0 bit: the sign of code - bound, computed in 64 bits.
        const uint32_t zero = static_cast<uint32_t>(
            static_cast<uint64_t>(static_cast<int64_t>(uint64_t{code} - uint64_t{bound}) >> 63));
        range = (range - bound) + (zero & (bound + bound - range));
        code -= bound & ~zero;
        // 0: p += (2048 - p) >> 5; 1: p -= p >> 5. One expression: p - ((p - target) >> 5)
        // with an arithmetic shift, target 2048 - 31 for a 0 bit and 0 for a 1 bit.
        const int32_t target = static_cast<int32_t>(zero & ((1u << kProbabilityBits) - (1u << kMoveBits) + 1));
        probability = static_cast<uint16_t>(static_cast<int32_t>(p) - ((static_cast<int32_t>(p) - target) >> kMoveBits));
        Normalize();
        return (zero & 1u) ^ 1u;
#endif
    }
    // Decodes a numBits-bit symbol, most significant bit first.
    template <unsigned numBits>
    ORU_ALWAYS_INLINE unsigned Tree(uint16_t* probabilities) {
        unsigned symbol = 1;
        for (unsigned i = 0; i < numBits; ++i) {
            symbol = (symbol << 1) | BitValue(probabilities[symbol]);
        }
        return symbol - (1u << numBits);
    }
    template <unsigned numBits>
    ORU_ALWAYS_INLINE unsigned BranchTree(uint16_t* probabilities) {
        unsigned symbol = 1;
        for (unsigned i = 0; i < numBits; ++i) {
            symbol = (symbol << 1) | Bit(probabilities[symbol]);
        }
        return symbol - (1u << numBits);
    }
    // Decodes numBits bits, least significant first; probabilities[base + m] for m >= 1.
    ORU_ALWAYS_INLINE unsigned ReverseTree(uint16_t* probabilities, size_t base, unsigned numBits) {
        unsigned m = 1;
        unsigned symbol = 0;
        for (unsigned i = 0; i < numBits; ++i) {
            const unsigned bit = BitValue(probabilities[base + m]);
            m = (m << 1) | bit;
            symbol |= bit << i;
        }
        return symbol;
    }
    ORU_ALWAYS_INLINE uint32_t Direct(unsigned numBits) {
        uint32_t value = 0;
        for (unsigned i = 0; i < numBits; ++i) {
            range >>= 1;
            const uint32_t below = (code - range) >> 31;  // 1 when code < range
            code -= range & (below - 1);
            value = (value << 1) | (1 - below);
            Normalize();
        }
        return value;
    }
};

// Copies a match whose source lies at least 8 bytes before its destination,
// in words: each word read was written before (or lies before the
// destination), so overlapping matches repeat correctly. The last word ends
// exactly at the match end and may rewrite bytes of the previous one with
// the same values.
ORU_ALWAYS_INLINE void CopyFar(uint8_t* destination, const uint8_t* source, size_t count) {
    if (count >= 8) {
        size_t done = 0;
        while (done + 8 < count) {
            std::memcpy(destination + done, source + done, 8);
            done += 8;
        }
        std::memcpy(destination + count - 8, source + count - 8, 8);
    } else if (count >= 4) {
        std::memcpy(destination, source, 4);
        std::memcpy(destination + count - 4, source + count - 4, 4);
    } else {
        for (size_t i = 0; i < count; ++i) {
            destination[i] = source[i];
        }
    }
}

}  // namespace

LzmaProperties DecodeLzmaModelByte(uint8_t value) {
    if (value >= 9 * 5 * 5) {
        ThrowDataError("LZMA properties out of range");
    }
    LzmaProperties properties;
    properties.literalContextBits = value % 9;
    value /= 9;
    properties.literalPositionBits = value % 5;
    properties.positionBits = value / 5;
    return properties;
}

LzmaDecoder::LzmaDecoder(uint64_t windowSize) : windowLimit_(static_cast<size_t>(std::max<uint64_t>(windowSize, 1))) {
    if (windowSize > kMaxWindowSize) {
        throw ArchiveError(ArchiveErrorCode::OutOfMemory, "LZMA dictionary larger than the library allows");
    }
}

void LzmaDecoder::SetModel(const LzmaProperties& properties) {
    properties_ = properties;
    literals_.assign(size_t{0x300} << (properties.literalContextBits + properties.literalPositionBits),
                     kProbabilityInit);
    ResetState();
}

void LzmaDecoder::ResetState() {
    FillProbabilities(reinterpret_cast<uint16_t*>(&model_), sizeof(model_) / sizeof(uint16_t));
    std::fill(literals_.begin(), literals_.end(), kProbabilityInit);
    state_ = 0;
    std::fill(std::begin(reps_), std::end(reps_), 0u);
    pendingLength_ = 0;
}

void LzmaDecoder::ResetDictionary() {
    position_ = 0;
    readPosition_ = 0;
    wrapBase_ = 0;
    windowFull_ = false;
    pendingLength_ = 0;
}

void LzmaDecoder::StartRange(const uint8_t*& input) {
    if (input[0] != 0) {
        ThrowDataError("LZMA stream does not start with a zero byte");
    }
    code_ = static_cast<uint32_t>(input[1]) << 24 | static_cast<uint32_t>(input[2]) << 16 |
            static_cast<uint32_t>(input[3]) << 8 | input[4];
    range_ = 0xFFFFFFFF;
    input += 5;
}

size_t LzmaDecoder::Take(uint8_t* buffer, size_t size) {
    const size_t count = std::min(size, Pending());
    std::memcpy(buffer, window_.get() + readPosition_, count);
    readPosition_ += count;
    return count;
}

void LzmaDecoder::GrowWindow() {
    const size_t newCapacity = std::min(windowLimit_, std::max(capacity_ * 2, kFirstWindowSize));
    auto grown = std::make_unique_for_overwrite<uint8_t[]>(newCapacity);
    if (position_ != 0) {
        std::memcpy(grown.get(), window_.get(), position_);
    }
    window_ = std::move(grown);
    capacity_ = newCapacity;
}

size_t LzmaDecoder::PrepareRoom() {
    if (position_ == capacity_) {
        if (capacity_ < windowLimit_) {
            GrowWindow();
        } else {
            wrapBase_ += capacity_;
            position_ = 0;
            readPosition_ = 0;
            windowFull_ = true;
        }
    }
    return capacity_ - position_;
}

void LzmaDecoder::CommitStored(size_t size) {
    position_ += size;
}

size_t LzmaDecoder::Decode(size_t limit, const uint8_t*& input, const uint8_t* inputLimit) {
    uint8_t* const window = window_.get();
    const size_t capacity = capacity_;
    size_t position = position_;
    const size_t end = position + limit;
    // Distances are valid up to the bytes produced since the last dictionary reset.
    // Locals, not members: stores into the window may alias any member.
    const bool windowFull = windowFull_;
    const auto available = [&](size_t at) { return windowFull ? capacity : at; };
    const auto backIndex = [&](size_t at, uint32_t distance) {
        // distance is zero-based: 0 means the byte just before `at`.
        return at > distance ? at - distance - 1 : at + capacity - distance - 1;
    };

    uint32_t rep0 = reps_[0], rep1 = reps_[1], rep2 = reps_[2], rep3 = reps_[3];
    unsigned state = state_;

    if (pendingLength_ != 0) {
        size_t count = std::min<size_t>(pendingLength_, end - position);
        pendingLength_ -= static_cast<uint32_t>(count);
        size_t source = backIndex(position, rep0);
        while (count-- != 0) {
            window[position++] = window[source];
            if (++source == capacity) {
                source = 0;
            }
        }
    }

    RangeRegisters rc{range_, code_, input};
    const unsigned positionMask = (1u << properties_.positionBits) - 1;
    const unsigned literalPositionMask = (1u << properties_.literalPositionBits) - 1;
    const unsigned literalContextBits = properties_.literalContextBits;
    const uint32_t positionBase = static_cast<uint32_t>(wrapBase_);
    Model& model = model_;
    uint16_t* const literals = literals_.data();

    // The byte before the write position, for the literal context.
    unsigned previousByte = (position != 0 || windowFull) ? window[position != 0 ? position - 1 : capacity - 1] : 0u;

    while (position < end && rc.input < inputLimit) {
        const uint32_t totalPosition = positionBase + static_cast<uint32_t>(position);
        const unsigned positionState = totalPosition & positionMask;

        if (rc.Bit(model.isMatch[state][positionState]) == 0) {
            uint16_t* probabilities =
                literals + size_t{0x300} * (((totalPosition & literalPositionMask) << literalContextBits) +
                                            (previousByte >> (8 - literalContextBits)));
            unsigned symbol;
            if (state < 7) {
                symbol = rc.Tree<8>(probabilities) | 0x100;
            } else {
                // Matched literal: while the decoded bits agree with the byte
                // at rep0, the probabilities of that byte's bit are used.
                // `offset` is 0x100 while they agree and 0 after the first
                // difference, which selects the plain probabilities.
                unsigned matchByte = window[backIndex(position, rep0)];
                unsigned offset = 0x100;
                symbol = 1;
                for (int i = 0; i < 8; ++i) {
                    matchByte <<= 1;
                    const unsigned matchBit = matchByte & offset;
                    const unsigned bit = rc.BitValue(probabilities[offset + matchBit + symbol]);
                    symbol = (symbol << 1) | bit;
                    // Keeps offset while the bit equals the match bit.
                    offset &= ~(matchBit ^ (0u - bit));
                }
            }
            previousByte = symbol & 0xFF;
            window[position++] = static_cast<uint8_t>(symbol);
            state = state < 4 ? 0 : (state < 10 ? state - 3 : state - 6);
            continue;
        }

        unsigned length;
        if (rc.Bit(model.isRep[state]) != 0) {
            if (rc.Bit(model.isRepG0[state]) == 0) {
                if (rc.Bit(model.isRep0Long[state][positionState]) == 0) {
                    if (rep0 >= available(position)) {
                        ThrowDataError("LZMA distance beyond the decoded data");
                    }
                    previousByte = window[backIndex(position, rep0)];
                    window[position++] = static_cast<uint8_t>(previousByte);
                    state = state < 7 ? 9 : 11;
                    continue;
                }
            } else {
                uint32_t distance;
                if (rc.Bit(model.isRepG1[state]) == 0) {
                    distance = rep1;
                } else {
                    if (rc.Bit(model.isRepG2[state]) == 0) {
                        distance = rep2;
                    } else {
                        distance = rep3;
                        rep3 = rep2;
                    }
                    rep2 = rep1;
                }
                rep1 = rep0;
                rep0 = distance;
            }
            LengthModel& lengths = model.repLength;
            if (rc.Bit(lengths.choice) == 0) {
                length = rc.BranchTree<3>(lengths.low[positionState]);
            } else if (rc.Bit(lengths.choice2) == 0) {
                length = 8 + rc.BranchTree<3>(lengths.middle[positionState]);
            } else {
                length = 16 + rc.BranchTree<8>(lengths.high);
            }
            state = state < 7 ? 8 : 11;
        } else {
            rep3 = rep2;
            rep2 = rep1;
            rep1 = rep0;
            LengthModel& lengths = model.length;
            if (rc.Bit(lengths.choice) == 0) {
                length = rc.BranchTree<3>(lengths.low[positionState]);
            } else if (rc.Bit(lengths.choice2) == 0) {
                length = 8 + rc.BranchTree<3>(lengths.middle[positionState]);
            } else {
                length = 16 + rc.BranchTree<8>(lengths.high);
            }
            state = state < 7 ? 7 : 10;
            const unsigned slot = rc.BranchTree<6>(model.positionSlot[std::min(length, 3u)]);
            if (slot < 4) {
                rep0 = slot;
            } else {
                const unsigned directBits = (slot >> 1) - 1;
                uint32_t distance = (2u | (slot & 1u)) << directBits;
                if (slot < 14) {
                    distance += rc.ReverseTree(model.specialPosition, size_t{distance} - slot - 1, directBits);
                } else {
                    distance += rc.Direct(directBits - 4) << 4;
                    distance += rc.ReverseTree(model.align, static_cast<size_t>(-1), 4);
                }
                rep0 = distance;
                if (rep0 == 0xFFFFFFFF) {
                    ThrowDataError("LZMA end marker inside a sized stream");
                }
            }
        }

        if (rep0 >= available(position)) {
            ThrowDataError("LZMA distance beyond the decoded data");
        }
        length += 2;
        size_t count = std::min<size_t>(length, end - position);
        pendingLength_ = static_cast<uint32_t>(length - count);
        size_t source = backIndex(position, rep0);
        if (ORU_LIKELY(source + count <= capacity && source < position)) {
            uint8_t* destination = window + position;
            const uint8_t* from = window + source;
            position += count;
            if (rep0 + 1 >= 8) {
                CopyFar(destination, from, count);
            } else {
                while (count-- != 0) {
                    *destination++ = *from++;
                }
            }
        } else {
            while (count-- != 0) {
                window[position++] = window[source];
                if (++source == capacity) {
                    source = 0;
                }
            }
        }
        previousByte = window[position - 1];
        if (pendingLength_ != 0) {
            break;
        }
    }

    range_ = rc.range;
    code_ = rc.code;
    input = rc.input;
    reps_[0] = rep0;
    reps_[1] = rep1;
    reps_[2] = rep2;
    reps_[3] = rep3;
    state_ = state;
    const size_t produced = position - position_;
    position_ = position;
    return produced;
}

}  // namespace kaviro::oru
