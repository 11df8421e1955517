#include "tools/builder/sha256.h"

namespace kaviro::builder {

void Sha256::Update(std::span<const uint8_t> bytes) { hash_.Update(bytes.data(), bytes.size()); }

void Sha256::Update(std::string_view text) {
    hash_.Update(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

void Sha256::UpdateField(std::string_view text) {
    const uint64_t length = text.size();
    std::array<uint8_t, 8> lengthBytes{};
    for (int i = 0; i < 8; ++i) lengthBytes[i] = static_cast<uint8_t>(length >> (8 * i));
    Update(lengthBytes);
    Update(text);
}

Sha256Digest Sha256::Finish() { return hash_.Finish(); }

Sha256Digest HashText(std::string_view text) {
    Sha256 hash;
    hash.Update(text);
    return hash.Finish();
}

}  // namespace kaviro::builder
