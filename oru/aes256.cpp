#include "oru/aes256.h"

#include <cstddef>

namespace kaviro::oru {
namespace {

constexpr uint8_t Multiply(uint8_t a, uint8_t b) {
    uint8_t product = 0;
    while (b != 0) {
        if ((b & 1) != 0) {
            product ^= a;
        }
        a = static_cast<uint8_t>((a << 1) ^ ((a & 0x80) != 0 ? 0x1B : 0));
        b >>= 1;
    }
    return product;
}

constexpr uint8_t RotateLeft(uint8_t value, unsigned count) {
    return static_cast<uint8_t>((value << count) | (value >> (8 - count)));
}

struct AesTables {
    std::array<uint8_t, 256> substitution{};
    std::array<uint8_t, 256> inverseSubstitution{};
    std::array<uint8_t, 256> times9{}, times11{}, times13{}, times14{};
};

constexpr AesTables MakeTables() {
    AesTables tables{};
    // Powers and logarithms of the generator 3 give the multiplicative inverses.
    std::array<uint8_t, 255> power{};
    std::array<uint8_t, 256> logarithm{};
    uint8_t value = 1;
    for (unsigned i = 0; i < 255; ++i) {
        power[i] = value;
        logarithm[value] = static_cast<uint8_t>(i);
        value = Multiply(value, 3);
    }
    for (unsigned x = 0; x < 256; ++x) {
        const uint8_t inverse = x == 0 ? 0 : power[(255 - logarithm[x]) % 255];
        const uint8_t substituted = static_cast<uint8_t>(inverse ^ RotateLeft(inverse, 1) ^ RotateLeft(inverse, 2) ^
                                                   RotateLeft(inverse, 3) ^ RotateLeft(inverse, 4) ^ 0x63);
        tables.substitution[x] = substituted;
        tables.inverseSubstitution[substituted] = static_cast<uint8_t>(x);
        tables.times9[x] = Multiply(static_cast<uint8_t>(x), 9);
        tables.times11[x] = Multiply(static_cast<uint8_t>(x), 11);
        tables.times13[x] = Multiply(static_cast<uint8_t>(x), 13);
        tables.times14[x] = Multiply(static_cast<uint8_t>(x), 14);
    }
    return tables;
}

constexpr AesTables kTables = MakeTables();

}  // namespace

Aes256Decryptor::Aes256Decryptor(const std::array<uint8_t, 32>& key) {
    for (size_t i = 0; i < 32; ++i) {
        roundKeys_[i] = key[i];
    }
    uint8_t roundConstant = 1;
    for (size_t word = 8; word < 60; ++word) {
        uint8_t temp[4];
        for (int i = 0; i < 4; ++i) {
            temp[i] = roundKeys_[4 * (word - 1) + i];
        }
        if (word % 8 == 0) {
            const uint8_t first = temp[0];
            temp[0] = static_cast<uint8_t>(kTables.substitution[temp[1]] ^ roundConstant);
            temp[1] = kTables.substitution[temp[2]];
            temp[2] = kTables.substitution[temp[3]];
            temp[3] = kTables.substitution[first];
            roundConstant = Multiply(roundConstant, 2);
        } else if (word % 8 == 4) {
            for (auto& byte : temp) {
                byte = kTables.substitution[byte];
            }
        }
        for (int i = 0; i < 4; ++i) {
            roundKeys_[4 * word + i] = static_cast<uint8_t>(roundKeys_[4 * (word - 8) + i] ^ temp[i]);
        }
    }
}

void Aes256Decryptor::DecryptBlock(const uint8_t* input, uint8_t* output) const {
    uint8_t state[16];
    for (int i = 0; i < 16; ++i) {
        state[i] = static_cast<uint8_t>(input[i] ^ roundKeys_[14 * 16 + i]);
    }
    for (int round = 13; round >= 0; --round) {
        uint8_t shifted[16];
        for (int column = 0; column < 4; ++column) {
            for (int row = 0; row < 4; ++row) {
                shifted[row + 4 * column] =
                    kTables.inverseSubstitution[state[row + 4 * ((column - row + 4) % 4)]];
            }
        }
        for (int i = 0; i < 16; ++i) {
            state[i] = static_cast<uint8_t>(shifted[i] ^ roundKeys_[round * 16 + i]);
        }
        if (round == 0) {
            break;
        }
        for (int column = 0; column < 4; ++column) {
            uint8_t* a = state + 4 * column;
            const uint8_t a0 = a[0], a1 = a[1], a2 = a[2], a3 = a[3];
            a[0] = kTables.times14[a0] ^ kTables.times11[a1] ^ kTables.times13[a2] ^ kTables.times9[a3];
            a[1] = kTables.times9[a0] ^ kTables.times14[a1] ^ kTables.times11[a2] ^ kTables.times13[a3];
            a[2] = kTables.times13[a0] ^ kTables.times9[a1] ^ kTables.times14[a2] ^ kTables.times11[a3];
            a[3] = kTables.times11[a0] ^ kTables.times13[a1] ^ kTables.times9[a2] ^ kTables.times14[a3];
        }
    }
    for (int i = 0; i < 16; ++i) {
        output[i] = state[i];
    }
}

}  // namespace kaviro::oru
