#pragma once
// CRC-32 (IEEE 802.3, reflected, as used by the 7z format), slicing by eight.

#include <cstddef>
#include <cstdint>

namespace kaviro::oru {

// Continues a CRC: pass 0 to start, the previous result to go on.
[[nodiscard]] uint32_t UpdateCrc32(uint32_t crc, const uint8_t* data, size_t size);

[[nodiscard]] inline uint32_t Crc32(const uint8_t* data, size_t size) { return UpdateCrc32(0, data, size); }

}  // namespace kaviro::oru
