#pragma once
// The 7z AES-256 coder: key derivation from the password (salted, iterated
// SHA-256) and CBC decryption of the stream.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "oru/aes256.h"
#include "oru/byte_io.h"

namespace kaviro::oru {

// Supplies the password on first need (from the caller or by asking the
// user) and keeps derived keys, so several encrypted folders derive once.
class PasswordKeys {
public:
    using PasswordProvider = std::function<std::optional<std::u16string>()>;
    explicit PasswordKeys(PasswordProvider provider) : provider_(std::move(provider)) {}

    // Throws ArchiveError(WrongPassword) when no password is available.
    [[nodiscard]] std::array<uint8_t, 32> KeyFor(const std::vector<uint8_t>& salt, unsigned cyclesPower);

private:
    struct DerivedKey {
        std::vector<uint8_t> salt;
        unsigned cyclesPower;
        std::array<uint8_t, 32> key;
    };
    PasswordProvider provider_;
    std::optional<std::u16string> password_;
    bool asked_ = false;
    std::vector<DerivedKey> keys_;
};

// Derives the key as the archive format does; exposed for tests.
[[nodiscard]] std::array<uint8_t, 32> DeriveArchiveKey(const std::u16string& password,
                                                       const std::vector<uint8_t>& salt, unsigned cyclesPower);

class AesSource : public ByteSource {
public:
    AesSource(ByteSource& input, const std::vector<uint8_t>& properties, PasswordKeys& keys);
    size_t Read(uint8_t* buffer, size_t size) override;

private:
    ByteSource& input_;
    std::optional<Aes256Decryptor> cipher_;
    std::array<uint8_t, 16> chain_{};
    std::vector<uint8_t> buffer_;
    size_t begin_ = 0;
    size_t decrypted_ = 0;
    size_t filled_ = 0;
    bool inputEnded_ = false;
};

}  // namespace kaviro::oru
