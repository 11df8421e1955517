#pragma once
// SHA-256 (the archive library's), used to derive the builder's
// deterministic identifiers (statement ids, header codes, revision codes)
// from their inputs.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "oru/sha256.h"

namespace kaviro::builder {

using Sha256Digest = std::array<uint8_t, 32>;

class Sha256 {
  public:
    void Update(std::span<const uint8_t> bytes);
    void Update(std::string_view text);
    // Adds the length first, so that consecutive fields cannot run into each other.
    void UpdateField(std::string_view text);
    [[nodiscard]] Sha256Digest Finish();

  private:
    oru::Sha256 hash_;
};

[[nodiscard]] Sha256Digest HashText(std::string_view text);

}  // namespace kaviro::builder
