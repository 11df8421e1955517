#pragma once
// Size of the executable image that precedes an appended package (or the
// language file appended to the archive library).

#include <cstdint>
#include <span>

namespace kaviro {

// The largest PointerToRawData + SizeOfRawData over the sections of a PE
// image, read from its headers (0 when it has no sections). The section table
// is found through the optional-header size of the file header, so 32-bit and
// 64-bit images are both measured correctly. Raises EngineError when the bytes
// are not a PE image or its headers run past the given bytes.
uint32_t PackageStubSize(std::span<const uint8_t> image);

}  // namespace kaviro
