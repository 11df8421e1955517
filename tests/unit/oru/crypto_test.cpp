// The cryptographic building blocks against published test vectors.

#include <gtest/gtest.h>

#include <string>

#include "oru/aes256.h"
#include "oru/crc32.h"
#include "oru/sha256.h"

namespace kaviro::oru {
namespace {

std::string Hex(const uint8_t* data, size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        text.push_back(kDigits[data[i] >> 4]);
        text.push_back(kDigits[data[i] & 15]);
    }
    return text;
}

TEST(Sha256, MatchesPublishedDigests) {
    struct DigestCase {
        std::string input;
        const char* digest;
    };
    const DigestCase cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"},
    };
    for (const DigestCase& test : cases) {
        Sha256 hash;
        // Feed in uneven pieces to cover the block buffering.
        for (size_t at = 0; at < test.input.size(); at += 7) {
            hash.Update(reinterpret_cast<const uint8_t*>(test.input.data()) + at,
                        std::min<size_t>(7, test.input.size() - at));
        }
        const auto digest = hash.Finish();
        EXPECT_EQ(Hex(digest.data(), digest.size()), test.digest) << test.input.size();
    }
}

TEST(Aes256, DecryptsTheStandardVector) {
    std::array<uint8_t, 32> key;
    for (size_t i = 0; i < key.size(); ++i) {
        key[i] = static_cast<uint8_t>(i);
    }
    const uint8_t cipher[16] = {0x8e, 0xa2, 0xb7, 0xca, 0x51, 0x67, 0x45, 0xbf,
                                0xea, 0xfc, 0x49, 0x90, 0x4b, 0x49, 0x60, 0x89};
    uint8_t plain[16];
    Aes256Decryptor(key).DecryptBlock(cipher, plain);
    EXPECT_EQ(Hex(plain, 16), "00112233445566778899aabbccddeeff");
}

TEST(Crc32, MatchesTheCheckValueInAnySplit) {
    const std::string text = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0xCBF43926u);
    uint32_t crc = 0;
    for (char c : text) {
        crc = UpdateCrc32(crc, reinterpret_cast<const uint8_t*>(&c), 1);
    }
    EXPECT_EQ(crc, 0xCBF43926u);
}

}  // namespace
}  // namespace kaviro::oru
