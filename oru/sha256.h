#pragma once
// SHA-256, for the key derivation of encrypted archives.

#include <array>
#include <cstddef>
#include <cstdint>

namespace kaviro::oru {

class Sha256 {
public:
    Sha256();
    void Update(const uint8_t* data, size_t size);
    [[nodiscard]] std::array<uint8_t, 32> Finish();

private:
    void Compress(const uint8_t* block);

    std::array<uint32_t, 8> state_;
    std::array<uint8_t, 64> block_{};
    size_t blockUsed_ = 0;
    uint64_t totalBytes_ = 0;
};

}  // namespace kaviro::oru
