#include "oru/crc32.h"

#include <array>

namespace kaviro::oru {
namespace {

using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr CrcTables MakeTables() {
    CrcTables tables{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value >> 1) ^ (0xEDB88320u & (0u - (value & 1u)));
        }
        tables[0][i] = value;
    }
    for (uint32_t i = 0; i < 256; ++i) {
        for (size_t t = 1; t < 8; ++t) {
            tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFF];
        }
    }
    return tables;
}

constexpr CrcTables kTables = MakeTables();

}  // namespace

uint32_t UpdateCrc32(uint32_t crc, const uint8_t* data, size_t size) {
    uint32_t value = ~crc;
    while (size != 0 && (reinterpret_cast<uintptr_t>(data) & 7) != 0) {
        value = (value >> 8) ^ kTables[0][(value ^ *data++) & 0xFF];
        --size;
    }
    while (size >= 8) {
        const uint32_t low = value ^ (static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                                      static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24);
        value = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^ kTables[5][(low >> 16) & 0xFF] ^
                kTables[4][low >> 24] ^ kTables[3][data[4]] ^ kTables[2][data[5]] ^ kTables[1][data[6]] ^
                kTables[0][data[7]];
        data += 8;
        size -= 8;
    }
    while (size-- != 0) {
        value = (value >> 8) ^ kTables[0][(value ^ *data++) & 0xFF];
    }
    return ~value;
}

}  // namespace kaviro::oru
