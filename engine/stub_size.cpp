#include "engine/stub_size.h"

#include <algorithm>

#include "engine/engine_error.h"

namespace kaviro {
namespace {

uint32_t ReadU32(std::span<const uint8_t> bytes, std::size_t offset) {
    if (offset + 4 > bytes.size()) throw EngineError("The executable's headers are truncated");
    return uint32_t{bytes[offset]} | uint32_t{bytes[offset + 1]} << 8 | uint32_t{bytes[offset + 2]} << 16 |
           uint32_t{bytes[offset + 3]} << 24;
}

uint16_t ReadU16(std::span<const uint8_t> bytes, std::size_t offset) {
    if (offset + 2 > bytes.size()) throw EngineError("The executable's headers are truncated");
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

}  // namespace

uint32_t PackageStubSize(std::span<const uint8_t> image) {
    if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z') throw EngineError("Not an executable image");
    const std::size_t peOffset = ReadU32(image, 0x3C);
    if (ReadU32(image, peOffset) != 0x00004550) throw EngineError("Not a PE image");
    const std::size_t fileHeader = peOffset + 4;
    const uint16_t sectionCount = ReadU16(image, fileHeader + 2);
    const uint16_t optionalHeaderSize = ReadU16(image, fileHeader + 16);
    const std::size_t sectionTable = fileHeader + 20 + optionalHeaderSize;
    if (sectionTable + std::size_t{sectionCount} * 40 > image.size()) {
        throw EngineError("The executable's section table is truncated");
    }
    uint64_t stubSize = 0;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t entry = sectionTable + i * 40;
        const uint64_t sizeOfRawData = ReadU32(image, entry + 16);
        const uint64_t pointerToRawData = ReadU32(image, entry + 20);
        stubSize = std::max(stubSize, pointerToRawData + sizeOfRawData);
    }
    if (stubSize > UINT32_MAX) throw EngineError("The executable's section table is damaged");
    return static_cast<uint32_t>(stubSize);
}

}  // namespace kaviro
