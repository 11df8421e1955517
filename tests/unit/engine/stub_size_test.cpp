#include <gtest/gtest.h>

#include <vector>

#include "engine/engine_error.h"
#include "engine/stub_size.h"

namespace kaviro {
namespace {

void Put16(std::vector<uint8_t>& b, std::size_t at, uint16_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = v >> 8;
}
void Put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// A PE header with the given optional-header size and (pointer, size) sections.
std::vector<uint8_t> MakeImage(uint16_t optionalHeaderSize, const std::vector<std::pair<uint32_t, uint32_t>>& sections) {
    std::vector<uint8_t> image(0x80 + 24 + optionalHeaderSize + 40 * sections.size(), 0);
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 0x3C, 0x80);
    Put32(image, 0x80, 0x00004550);
    Put16(image, 0x84 + 2, static_cast<uint16_t>(sections.size()));
    Put16(image, 0x84 + 16, optionalHeaderSize);
    std::size_t entry = 0x80 + 24 + optionalHeaderSize;
    for (const auto& [pointer, size] : sections) {
        Put32(image, entry + 16, size);
        Put32(image, entry + 20, pointer);
        entry += 40;
    }
    return image;
}

TEST(StubSize, LargestSectionEndForBothImageKinds) {
    // 224 is the 32-bit optional header (section table 248 bytes after the
    // signature), 240 the 64-bit one.
    for (uint16_t optionalHeaderSize : {uint16_t{224}, uint16_t{240}}) {
        const auto image = MakeImage(optionalHeaderSize, {{0x400, 0x1000}, {0x3000, 0x200}, {0x1400, 0x1800}});
        EXPECT_EQ(PackageStubSize(image), 0x3200u) << optionalHeaderSize;
    }
    EXPECT_EQ(PackageStubSize(MakeImage(240, {})), 0u);
}

TEST(StubSize, DamagedHeadersAreErrors) {
    auto image = MakeImage(240, {{0x400, 0x1000}});
    EXPECT_THROW(PackageStubSize(std::span(image).first(image.size() - 1)), EngineError);
    image[0] = 'X';
    EXPECT_THROW(PackageStubSize(image), EngineError);
    auto badSignature = MakeImage(224, {});
    badSignature[0x80] = 'Q';
    EXPECT_THROW(PackageStubSize(badSignature), EngineError);
    auto farPe = MakeImage(224, {});
    Put32(farPe, 0x3C, 0xFFFFFFF0);
    EXPECT_THROW(PackageStubSize(farPe), EngineError);
}

}  // namespace
}  // namespace kaviro
