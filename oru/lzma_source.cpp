#include "oru/lzma_source.h"

#include <algorithm>
#include <cstring>

#include "oru/archive_error.h"

namespace kaviro::oru {
namespace {

constexpr size_t kInputBufferSize = size_t{1} << 16;
constexpr size_t kInputPadding = 2 * kLzmaInputMargin;
constexpr size_t kMaxLzma2PackedChunk = size_t{1} << 16;

uint32_t LzmaDictionarySize(const std::vector<uint8_t>& properties) {
    if (properties.size() < 5) {
        throw ArchiveError(ArchiveErrorCode::UnsupportedMethod, "LZMA coder without its properties");
    }
    return static_cast<uint32_t>(properties[1]) | static_cast<uint32_t>(properties[2]) << 8 |
           static_cast<uint32_t>(properties[3]) << 16 | static_cast<uint32_t>(properties[4]) << 24;
}

uint64_t Lzma2DictionarySize(const std::vector<uint8_t>& properties) {
    if (properties.size() != 1 || properties[0] > 40) {
        throw ArchiveError(ArchiveErrorCode::UnsupportedMethod, "LZMA2 dictionary property out of range");
    }
    if (properties[0] == 40) {
        return 0xFFFFFFFFu;
    }
    return uint64_t{2u | (properties[0] & 1u)} << (properties[0] / 2 + 11);
}

}  // namespace

uint64_t WindowSizeFor(uint64_t dictionarySize, uint64_t outputSize) {
    return std::max<uint64_t>(1, std::min(std::max<uint64_t>(dictionarySize, 4096), outputSize));
}

LzmaSource::LzmaSource(ByteSource& input, const std::vector<uint8_t>& properties, uint64_t outputSize)
    : input_(input),
      remaining_(outputSize),
      decoder_(WindowSizeFor(LzmaDictionarySize(properties), outputSize)),
      inputBuffer_(kInputBufferSize + kInputPadding) {
    decoder_.SetModel(DecodeLzmaModelByte(properties[0]));
    inputPosition_ = inputBuffer_.data();
    inputEnd_ = inputBuffer_.data();
}

void LzmaSource::Refill() {
    uint8_t* const begin = inputBuffer_.data();
    const size_t left = static_cast<size_t>(inputEnd_ - inputPosition_);
    std::memmove(begin, inputPosition_, left);
    size_t filled = left;
    while (filled < kInputBufferSize) {
        const size_t count = input_.Read(begin + filled, kInputBufferSize - filled);
        if (count == 0) {
            inputExhausted_ = true;
            break;
        }
        filled += count;
    }
    std::memset(begin + filled, 0, kInputPadding);
    inputPosition_ = begin;
    inputEnd_ = begin + filled;
}

size_t LzmaSource::Read(uint8_t* buffer, size_t size) {
    while (decoder_.Pending() == 0) {
        if (remaining_ == 0) {
            return 0;
        }
        if (!inputExhausted_ && static_cast<size_t>(inputEnd_ - inputPosition_) < kLzmaInputMargin + 5) {
            Refill();
        }
        if (!started_) {
            if (inputEnd_ - inputPosition_ < 5) {
                ThrowDataError("LZMA stream too short");
            }
            decoder_.StartRange(inputPosition_);
            started_ = true;
        }
        const size_t room = decoder_.PrepareRoom();
        const size_t limit = static_cast<size_t>(std::min<uint64_t>(room, remaining_));
        // While more input may follow, stop a margin short of the buffer end;
        // at the real end, decoding may go on up to the last byte.
        const uint8_t* inputLimit = inputExhausted_ ? inputEnd_ + 1 : inputEnd_ - kLzmaInputMargin;
        const uint8_t* before = inputPosition_;
        const size_t produced = decoder_.Decode(limit, inputPosition_, inputLimit);
        if (inputPosition_ > inputEnd_) {
            ThrowDataError("LZMA stream ends early");
        }
        if (produced == 0 && before == inputPosition_ && inputExhausted_) {
            ThrowDataError("LZMA stream ends early");
        }
        remaining_ -= produced;
    }
    return decoder_.Take(buffer, size);
}

Lzma2Source::Lzma2Source(ByteSource& input, const std::vector<uint8_t>& properties, uint64_t outputSize)
    : input_(input), decoder_(WindowSizeFor(Lzma2DictionarySize(properties), outputSize)) {}

bool Lzma2Source::StartChunk() {
    uint8_t control = 0;
    if (!input_.ReadByte(control)) {
        ThrowDataError("LZMA2 stream ends without its end mark");
    }
    if (control == 0) {
        finished_ = true;
        return false;
    }
    uint8_t header[5];
    if (control == 1 || control == 2) {
        input_.ReadExact(header, 2);
        if (control == 1) {
            decoder_.ResetDictionary();
            needDictionaryReset_ = false;
        } else if (needDictionaryReset_) {
            ThrowDataError("LZMA2 stream does not start with a dictionary reset");
        }
        chunkRemaining_ = (static_cast<uint32_t>(header[0]) << 8 | header[1]) + 1;
        chunkStored_ = true;
        return true;
    }
    if (control < 0x80) {
        ThrowDataError("LZMA2 control byte invalid");
    }
    const unsigned reset = (control >> 5) & 3;
    input_.ReadExact(header, reset >= 2 ? 5 : 4);
    chunkRemaining_ = ((static_cast<uint32_t>(control & 0x1F) << 16) | static_cast<uint32_t>(header[0]) << 8 | header[1]) + 1;
    const size_t packedSize = (static_cast<size_t>(header[2]) << 8 | header[3]) + 1;
    if (reset == 3) {
        decoder_.ResetDictionary();
        needDictionaryReset_ = false;
    } else if (needDictionaryReset_) {
        ThrowDataError("LZMA2 stream does not start with a dictionary reset");
    }
    if (reset >= 2) {
        const LzmaProperties model = DecodeLzmaModelByte(header[4]);
        if (model.literalContextBits + model.literalPositionBits > 4) {
            ThrowDataError("LZMA2 literal bits out of range");
        }
        decoder_.SetModel(model);
        needModel_ = false;
    } else if (needModel_) {
        ThrowDataError("LZMA2 chunk without properties");
    } else if (reset == 1) {
        decoder_.ResetState();
    }
    if (packedSize < 5 || packedSize > kMaxLzma2PackedChunk) {
        ThrowDataError("LZMA2 chunk size invalid");
    }
    chunk_.resize(kMaxLzma2PackedChunk + 2 * kLzmaInputMargin);
    input_.ReadExact(chunk_.data(), packedSize);
    std::memset(chunk_.data() + packedSize, 0, 2 * kLzmaInputMargin);
    chunkPosition_ = chunk_.data();
    chunkEnd_ = chunk_.data() + packedSize;
    decoder_.StartRange(chunkPosition_);
    chunkStored_ = false;
    return true;
}

size_t Lzma2Source::Read(uint8_t* buffer, size_t size) {
    while (decoder_.Pending() == 0) {
        if (finished_) {
            return 0;
        }
        if (chunkRemaining_ == 0) {
            if (!StartChunk()) {
                return 0;
            }
            continue;
        }
        const size_t room = decoder_.PrepareRoom();
        const size_t limit = std::min<size_t>(room, chunkRemaining_);
        if (chunkStored_) {
            input_.ReadExact(decoder_.WritePointer(), limit);
            decoder_.CommitStored(limit);
            chunkRemaining_ -= static_cast<uint32_t>(limit);
            continue;
        }
        const size_t produced = decoder_.Decode(limit, chunkPosition_, chunkEnd_ + 1);
        if (chunkPosition_ > chunkEnd_ || (produced == 0 && limit != 0)) {
            ThrowDataError("LZMA2 chunk ends early");
        }
        chunkRemaining_ -= static_cast<uint32_t>(produced);
        if (chunkRemaining_ == 0 && (decoder_.HasPendingMatch() || chunkPosition_ != chunkEnd_)) {
            ThrowDataError("LZMA2 chunk sizes do not match its data");
        }
    }
    return decoder_.Take(buffer, size);
}

}  // namespace kaviro::oru
