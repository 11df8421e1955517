#include "tools/builder/sha256.h"

#include <cstring>

namespace kaviro::builder {
namespace {

constexpr std::array<uint32_t, 64> kRoundConstants = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr uint32_t RotateRight(uint32_t value, int count) {
    return (value >> count) | (value << (32 - count));
}

}  // namespace

Sha256::Sha256()
    : state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {
}

void Sha256::Block(const uint8_t* block) {
    std::array<uint32_t, 64> w{};
    for (int i = 0; i < 16; ++i) {
        w[i] = (uint32_t{block[4 * i]} << 24) | (uint32_t{block[4 * i + 1]} << 16) |
               (uint32_t{block[4 * i + 2]} << 8) | uint32_t{block[4 * i + 3]};
    }
    for (int i = 16; i < 64; ++i) {
        const uint32_t s0 = RotateRight(w[i - 15], 7) ^ RotateRight(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const uint32_t s1 = RotateRight(w[i - 2], 17) ^ RotateRight(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = state_;
    for (int i = 0; i < 64; ++i) {
        const uint32_t s1 = RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25);
        const uint32_t choice = (e & f) ^ (~e & g);
        const uint32_t t1 = h + s1 + choice + kRoundConstants[i] + w[i];
        const uint32_t s0 = RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22);
        const uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        const uint32_t t2 = s0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const std::array<uint32_t, 8> add = {a, b, c, d, e, f, g, h};
    for (int i = 0; i < 8; ++i) state_[i] += add[i];
}

void Sha256::Update(std::span<const uint8_t> bytes) {
    totalBytes_ += bytes.size();
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t take = std::min(bytes.size() - at, buffer_.size() - buffered_);
        std::memcpy(buffer_.data() + buffered_, bytes.data() + at, take);
        buffered_ += take;
        at += take;
        if (buffered_ == buffer_.size()) {
            Block(buffer_.data());
            buffered_ = 0;
        }
    }
}

void Sha256::Update(std::string_view text) {
    Update(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

void Sha256::UpdateField(std::string_view text) {
    const uint64_t length = text.size();
    std::array<uint8_t, 8> lengthBytes{};
    for (int i = 0; i < 8; ++i) lengthBytes[i] = static_cast<uint8_t>(length >> (8 * i));
    Update(lengthBytes);
    Update(text);
}

Sha256Digest Sha256::Finish() {
    const uint64_t totalBits = totalBytes_ * 8;
    const uint8_t marker = 0x80;
    Update(std::span(&marker, 1));
    const uint8_t zero = 0;
    while (buffered_ != 56) Update(std::span(&zero, 1));
    std::array<uint8_t, 8> lengthBytes{};
    for (int i = 0; i < 8; ++i) lengthBytes[i] = static_cast<uint8_t>(totalBits >> (56 - 8 * i));
    Update(lengthBytes);
    Sha256Digest digest{};
    for (int i = 0; i < 8; ++i) {
        for (int k = 0; k < 4; ++k) digest[4 * i + k] = static_cast<uint8_t>(state_[i] >> (24 - 8 * k));
    }
    return digest;
}

Sha256Digest HashText(std::string_view text) {
    Sha256 hash;
    hash.Update(text);
    return hash.Finish();
}

}  // namespace kaviro::builder
