#include "oru/folder_decoder.h"

#include <algorithm>

#include "oru/archive_error.h"
#include "oru/bcj2_source.h"
#include "oru/filter_source.h"
#include "oru/lzma_source.h"

namespace kaviro::oru {
namespace {

using MethodId = std::vector<uint8_t>;
const MethodId kCopy = {0x00};
const MethodId kDelta = {0x03};
const MethodId kX86 = {0x03, 0x03, 0x01, 0x03};
const MethodId kBcj2 = {0x03, 0x03, 0x01, 0x1B};
const MethodId kLzma = {0x03, 0x01, 0x01};
const MethodId kLzma2 = {0x21};
const MethodId kArm64 = {0x0A};
const MethodId kAes = {0x06, 0xF1, 0x07, 0x01};

// A range of the archive file.
class PackStreamSource : public ByteSource {
public:
    PackStreamSource(RandomAccessInput& archive, const PackStream& stream)
        : archive_(archive), offset_(stream.offset), remaining_(stream.size) {}
    size_t Read(uint8_t* buffer, size_t size) override {
        const size_t count = static_cast<size_t>(std::min<uint64_t>(size, remaining_));
        if (count == 0) {
            return 0;
        }
        const size_t read = archive_.ReadAt(offset_, buffer, count);
        offset_ += read;
        remaining_ -= read;
        if (read == 0) {
            remaining_ = 0;  // the file ended early; the coder reports its stream as short
        }
        return read;
    }

private:
    RandomAccessInput& archive_;
    uint64_t offset_;
    uint64_t remaining_;
};

// Cuts a coder's output to its declared size; a shorter output is damage.
class SizedSource : public ByteSource {
public:
    SizedSource(ByteSource& inner, uint64_t size) : inner_(inner), remaining_(size) {}
    size_t Read(uint8_t* buffer, size_t size) override {
        if (remaining_ == 0) {
            return 0;
        }
        const size_t count = inner_.Read(buffer, static_cast<size_t>(std::min<uint64_t>(size, remaining_)));
        if (count == 0) {
            ThrowDataError("coder output shorter than its declared size");
        }
        remaining_ -= count;
        return count;
    }

private:
    ByteSource& inner_;
    uint64_t remaining_;
};

class CopySource : public ByteSource {
public:
    explicit CopySource(ByteSource& inner) : inner_(inner) {}
    size_t Read(uint8_t* buffer, size_t size) override { return inner_.Read(buffer, size); }

private:
    ByteSource& inner_;
};

[[noreturn]] void ThrowUnsupported(const char* what) { throw ArchiveError(ArchiveErrorCode::UnsupportedMethod, what); }

}  // namespace

bool FolderIsEncrypted(const Folder& folder) {
    return std::any_of(folder.coders.begin(), folder.coders.end(),
                       [](const Coder& coder) { return coder.methodId == kAes; });
}

template <typename T, typename... Args>
T& FolderDecoder::Own(Args&&... args) {
    auto source = std::make_unique<T>(std::forward<Args>(args)...);
    T& result = *source;
    sources_.push_back(std::move(source));
    return result;
}

FolderDecoder::FolderDecoder(RandomAccessInput& archive, const StreamsInfo& streams, uint32_t folderIndex,
                             PasswordKeys& keys)
    : archive_(archive), streams_(streams), folder_(streams.folders.at(folderIndex)), keys_(keys) {
    encrypted_ = FolderIsEncrypted(folder_);
    coderBuilt_.assign(folder_.coders.size(), false);
    output_ = &BuildOutput(folder_.mainOutput);
}

ByteSource& FolderDecoder::BuildOutput(uint32_t output) {
    // Find the coder that owns this output.
    uint32_t firstInput = 0;
    uint32_t firstOutput = 0;
    size_t coderIndex = 0;
    for (; coderIndex < folder_.coders.size(); ++coderIndex) {
        const Coder& coder = folder_.coders[coderIndex];
        if (output < firstOutput + coder.outputCount) {
            break;
        }
        firstInput += coder.inputCount;
        firstOutput += coder.outputCount;
    }
    const Coder& coder = folder_.coders.at(coderIndex);
    if (coder.outputCount != 1) {
        ThrowUnsupported("coder with several outputs");
    }
    if (coderBuilt_[coderIndex]) {
        ThrowDataError("folder coders bound in a cycle");
    }
    coderBuilt_[coderIndex] = true;

    std::vector<ByteSource*> inputs;
    for (uint32_t i = 0; i < coder.inputCount; ++i) {
        const uint32_t input = firstInput + i;
        const auto bound = std::find_if(folder_.bindPairs.begin(), folder_.bindPairs.end(),
                                        [&](const BindPair& pair) { return pair.input == input; });
        if (bound != folder_.bindPairs.end()) {
            inputs.push_back(&BuildOutput(bound->output));
            continue;
        }
        const auto packed = std::find(folder_.packedInputs.begin(), folder_.packedInputs.end(), input);
        if (packed == folder_.packedInputs.end()) {
            ThrowDataError("coder input without data");
        }
        const size_t packIndex = folder_.firstPackStream + static_cast<size_t>(packed - folder_.packedInputs.begin());
        inputs.push_back(&Own<PackStreamSource>(archive_, streams_.packStreams.at(packIndex)));
    }
    const uint64_t size = folder_.outputSizes[output];
    return Own<SizedSource>(MakeCoder(coder, inputs, size), size);
}

ByteSource& FolderDecoder::MakeCoder(const Coder& coder, const std::vector<ByteSource*>& inputs, uint64_t outputSize) {
    const MethodId& id = coder.methodId;
    if (id == kBcj2) {
        if (inputs.size() != 4) {
            ThrowUnsupported("BCJ2 coder without its four inputs");
        }
        return Own<Bcj2Source>(*inputs[0], *inputs[1], *inputs[2], *inputs[3], outputSize);
    }
    if (inputs.size() != 1) {
        ThrowUnsupported("coder with an unsupported number of inputs");
    }
    ByteSource& input = *inputs[0];
    if (id == kLzma2) {
        return Own<Lzma2Source>(input, coder.properties, outputSize);
    }
    if (id == kLzma) {
        return Own<LzmaSource>(input, coder.properties, outputSize);
    }
    if (id == kCopy) {
        return Own<CopySource>(input);
    }
    if (id == kX86) {
        return Own<FilterSource>(input, std::make_unique<X86BranchFilter>());
    }
    if (id == kArm64) {
        uint32_t start = 0;
        if (coder.properties.size() == 4) {
            start = static_cast<uint32_t>(coder.properties[0]) | static_cast<uint32_t>(coder.properties[1]) << 8 |
                    static_cast<uint32_t>(coder.properties[2]) << 16 | static_cast<uint32_t>(coder.properties[3]) << 24;
        } else if (!coder.properties.empty()) {
            ThrowUnsupported("ARM64 filter properties of the wrong size");
        }
        return Own<FilterSource>(input, std::make_unique<Arm64BranchFilter>(start));
    }
    if (id == kDelta) {
        if (coder.properties.size() != 1) {
            ThrowUnsupported("delta filter properties of the wrong size");
        }
        return Own<FilterSource>(input, std::make_unique<DeltaFilter>(coder.properties[0] + 1u));
    }
    if (id == kAes) {
        return Own<AesSource>(input, coder.properties, keys_);
    }
    ThrowUnsupported("compression method not supported");
}

}  // namespace kaviro::oru
