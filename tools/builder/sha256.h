#pragma once
// SHA-256, used to derive the builder's deterministic identifiers (statement
// ids, header codes, revision codes) from their inputs.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace kaviro::builder {

using Sha256Digest = std::array<uint8_t, 32>;

class Sha256 {
  public:
    Sha256();
    void Update(std::span<const uint8_t> bytes);
    void Update(std::string_view text);
    // Adds the length first, so that consecutive fields cannot run into each other.
    void UpdateField(std::string_view text);
    [[nodiscard]] Sha256Digest Finish();

  private:
    void Block(const uint8_t* block);

    std::array<uint32_t, 8> state_;
    std::array<uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    uint64_t totalBytes_ = 0;
};

[[nodiscard]] Sha256Digest HashText(std::string_view text);

}  // namespace kaviro::builder
