#include "oru/aes_source.h"

#include <algorithm>
#include <cstring>

#include "oru/archive_error.h"
#include "oru/sha256.h"

namespace kaviro::oru {
namespace {

// Above this the derivation would take minutes; such headers are refused.
constexpr unsigned kMaxCyclesPower = 24;
constexpr size_t kAesBufferSize = size_t{1} << 16;

}  // namespace

std::array<uint8_t, 32> DeriveArchiveKey(const std::u16string& password, const std::vector<uint8_t>& salt,
                                         unsigned cyclesPower) {
    std::vector<uint8_t> passwordBytes;
    for (char16_t unit : password) {
        passwordBytes.push_back(static_cast<uint8_t>(unit));
        passwordBytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    std::array<uint8_t, 32> key{};
    if (cyclesPower == 0x3F) {
        // No hashing: salt and password bytes make the key directly.
        size_t at = 0;
        for (uint8_t byte : salt) {
            if (at < key.size()) key[at++] = byte;
        }
        for (uint8_t byte : passwordBytes) {
            if (at < key.size()) key[at++] = byte;
        }
        return key;
    }
    Sha256 hash;
    const uint64_t rounds = uint64_t{1} << cyclesPower;
    // One buffer of salt + password + counter per round, hashed in batches.
    const size_t unit = salt.size() + passwordBytes.size() + 8;
    constexpr size_t kBatch = 64;
    std::vector<uint8_t> batch(unit * kBatch);
    for (size_t i = 0; i < kBatch; ++i) {
        std::copy(salt.begin(), salt.end(), batch.begin() + i * unit);
        std::copy(passwordBytes.begin(), passwordBytes.end(), batch.begin() + i * unit + salt.size());
    }
    for (uint64_t round = 0; round < rounds;) {
        const size_t count = static_cast<size_t>(std::min<uint64_t>(kBatch, rounds - round));
        for (size_t i = 0; i < count; ++i) {
            uint8_t* counter = batch.data() + i * unit + salt.size() + passwordBytes.size();
            for (int b = 0; b < 8; ++b) {
                counter[b] = static_cast<uint8_t>((round + i) >> (8 * b));
            }
        }
        hash.Update(batch.data(), unit * count);
        round += count;
    }
    return hash.Finish();
}

std::array<uint8_t, 32> PasswordKeys::KeyFor(const std::vector<uint8_t>& salt, unsigned cyclesPower) {
    for (const DerivedKey& derived : keys_) {
        if (derived.salt == salt && derived.cyclesPower == cyclesPower) {
            return derived.key;
        }
    }
    if (!asked_) {
        asked_ = true;
        if (provider_) {
            password_ = provider_();
        }
    }
    if (!password_) {
        throw ArchiveError(ArchiveErrorCode::WrongPassword, "the archive is encrypted and no password was given");
    }
    keys_.push_back({salt, cyclesPower, DeriveArchiveKey(*password_, salt, cyclesPower)});
    return keys_.back().key;
}

AesSource::AesSource(ByteSource& input, const std::vector<uint8_t>& properties, PasswordKeys& keys)
    : input_(input), buffer_(kAesBufferSize) {
    if (properties.empty()) {
        throw ArchiveError(ArchiveErrorCode::UnsupportedMethod, "AES coder without its properties");
    }
    const unsigned cyclesPower = properties[0] & 0x3F;
    std::vector<uint8_t> salt;
    std::array<uint8_t, 16> iv{};
    if ((properties[0] & 0xC0) != 0) {
        if (properties.size() < 2) {
            throw ArchiveError(ArchiveErrorCode::UnsupportedMethod, "AES properties truncated");
        }
        const size_t saltSize = ((properties[0] >> 7) & 1u) + (properties[1] >> 4);
        const size_t ivSize = ((properties[0] >> 6) & 1u) + (properties[1] & 0x0Fu);
        if (properties.size() != 2 + saltSize + ivSize) {
            throw ArchiveError(ArchiveErrorCode::UnsupportedMethod, "AES properties of the wrong size");
        }
        salt.assign(properties.begin() + 2, properties.begin() + 2 + static_cast<ptrdiff_t>(saltSize));
        std::copy(properties.begin() + 2 + static_cast<ptrdiff_t>(saltSize), properties.end(), iv.begin());
    }
    if (cyclesPower > kMaxCyclesPower && cyclesPower != 0x3F) {
        throw ArchiveError(ArchiveErrorCode::UnsupportedMethod, "AES key derivation too costly");
    }
    cipher_.emplace(keys.KeyFor(salt, cyclesPower));
    chain_ = iv;
}

size_t AesSource::Read(uint8_t* buffer, size_t size) {
    while (begin_ == decrypted_) {
        if (inputEnded_) {
            return 0;
        }
        std::memmove(buffer_.data(), buffer_.data() + decrypted_, filled_ - decrypted_);
        filled_ -= decrypted_;
        begin_ = 0;
        decrypted_ = 0;
        while (!inputEnded_ && filled_ < buffer_.size()) {
            const size_t count = input_.Read(buffer_.data() + filled_, buffer_.size() - filled_);
            inputEnded_ = count == 0;
            filled_ += count;
        }
        const size_t blocks = filled_ / 16;
        for (size_t i = 0; i < blocks; ++i) {
            uint8_t* block = buffer_.data() + 16 * i;
            uint8_t plain[16];
            cipher_->DecryptBlock(block, plain);
            for (int b = 0; b < 16; ++b) {
                plain[b] ^= chain_[b];
                chain_[b] = block[b];
            }
            std::memcpy(block, plain, 16);
        }
        decrypted_ = blocks * 16;
        // A partial last block is not valid ciphertext; it is dropped, and the
        // consumer reports the stream as too short.
    }
    const size_t count = std::min(size, decrypted_ - begin_);
    std::memcpy(buffer, buffer_.data() + begin_, count);
    begin_ += count;
    return count;
}

}  // namespace kaviro::oru
