#include "oru/header_cursor.h"

namespace kaviro::oru {

uint64_t HeaderCursor::ReadNumber() {
    const uint8_t first = ReadByte();
    unsigned extra = 0;
    while (extra < 8 && (first & (0x80u >> extra)) != 0) {
        ++extra;
    }
    uint64_t value = 0;
    const uint8_t* bytes = Take(extra);
    for (unsigned i = 0; i < extra; ++i) {
        value |= uint64_t{bytes[i]} << (8 * i);
    }
    if (extra < 7) {
        // The first byte's bits below the length marker are the high part.
        value |= uint64_t{first & ((0x80u >> extra) - 1)} << (8 * extra);
    }
    return value;
}

uint32_t HeaderCursor::ReadUInt32() {
    const uint8_t* bytes = Take(4);
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint64_t HeaderCursor::ReadUInt64() {
    const uint64_t low = ReadUInt32();
    return low | uint64_t{ReadUInt32()} << 32;
}

std::vector<uint8_t> HeaderCursor::ReadBytes(size_t count) {
    const uint8_t* bytes = Take(count);
    return std::vector<uint8_t>(bytes, bytes + count);
}

}  // namespace kaviro::oru
