#include "tools/builder/identifiers.h"

#include "engine/text_util.h"

namespace kaviro::builder {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, uint8_t byte) {
    out.push_back(kHexDigits[byte >> 4]);
    out.push_back(kHexDigits[byte & 0x0F]);
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::string GuidFromDigest(const Sha256Digest& digest) {
    Sha256Digest bytes = digest;
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x50);
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);
    std::string out = "{";
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            out.push_back('-');
        AppendHex(out, bytes[i]);
    }
    out.push_back('}');
    return out;
}

std::optional<std::string> NormalizeGuid(std::string_view text) {
    // {8-4-4-4-12}
    if (text.size() != 38 || text.front() != '{' || text.back() != '}')
        return std::nullopt;
    for (std::size_t i = 1; i < 37; ++i) {
        const bool dashPlace = i == 9 || i == 14 || i == 19 || i == 24;
        if (dashPlace ? text[i] != '-' : !IsHexDigit(text[i]))
            return std::nullopt;
    }
    return UpperCase(text);
}

std::string DerivedStatementId(std::string_view productCode, std::size_t index) {
    Sha256 hash;
    hash.UpdateField("statement id");
    hash.UpdateField(UpperCase(productCode));
    hash.UpdateField(std::to_string(index));
    return GuidFromDigest(hash.Finish());
}

std::string DerivedHeaderCode(std::string_view productCode, std::string_view statementId, int attempt) {
    Sha256 hash;
    hash.UpdateField("command header");
    hash.UpdateField(UpperCase(productCode));
    hash.UpdateField(UpperCase(statementId));
    hash.UpdateField(std::to_string(attempt));
    const Sha256Digest digest = hash.Finish();
    std::string code;
    for (int i = 0; i < 4; ++i) AppendHex(code, digest[i]);
    return code;
}

}  // namespace kaviro::builder
