#pragma once
// AES-256 block decryption (the archive format only ever decrypts).

#include <array>
#include <cstdint>

namespace kaviro::oru {

class Aes256Decryptor {
public:
    explicit Aes256Decryptor(const std::array<uint8_t, 32>& key);
    void DecryptBlock(const uint8_t* input, uint8_t* output) const;

private:
    std::array<uint8_t, 240> roundKeys_{};
};

}  // namespace kaviro::oru
