#include <gtest/gtest.h>

#include <set>

#include "tools/builder/identifiers.h"
#include "tools/builder/sha256.h"

namespace kaviro::builder {
namespace {

std::string Hex(const Sha256Digest& digest) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const uint8_t byte : digest) {
        out.push_back(digits[byte >> 4]);
        out.push_back(digits[byte & 15]);
    }
    return out;
}

TEST(Sha256, KnownDigests) {
    EXPECT_EQ(Hex(HashText("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Hex(HashText("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the padding needs a second block.
    EXPECT_EQ(Hex(HashText("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // Fed in pieces that straddle block boundaries.
    Sha256 pieces;
    const std::string million(1000000, 'a');
    for (std::size_t at = 0; at < million.size(); at += 999) {
        pieces.Update(std::string_view(million).substr(at, 999));
    }
    EXPECT_EQ(Hex(pieces.Finish()), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Identifiers, StatementIdsAreStableDistinctUpperCaseGuids) {
    const std::string product = "{3B8F2C71-5D4E-4A96-9C0B-7E21D54A8F13}";
    std::set<std::string> ids;
    for (std::size_t index = 0; index < 500; ++index) {
        const std::string id = DerivedStatementId(product, index);
        ASSERT_EQ(NormalizeGuid(id), id);
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 500u);
    EXPECT_EQ(DerivedStatementId(product, 7),
              DerivedStatementId("{3b8f2c71-5d4e-4a96-9c0b-7e21d54a8f13}", 7));
    EXPECT_NE(DerivedStatementId(product, 7),
              DerivedStatementId("{3B8F2C71-5D4E-4A96-9C0B-7E21D54A8F14}", 7));
}

TEST(Identifiers, HeaderCodesAreEightHexDigits) {
    const std::string code = DerivedHeaderCode("{P}", "{S}", 0);
    ASSERT_EQ(code.size(), 8u);
    EXPECT_EQ(code.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(code, DerivedHeaderCode("{P}", "{S}", 0));
    EXPECT_NE(code, DerivedHeaderCode("{P}", "{S}", 1));
}

TEST(Identifiers, NormalizeGuid) {
    EXPECT_EQ(NormalizeGuid("{74193e47-71b5-4352-8e34-bb4e49ecfa76}"),
              "{74193E47-71B5-4352-8E34-BB4E49ECFA76}");
    for (const char* bad :
         {"74193E47-71B5-4352-8E34-BB4E49ECFA76", "{74193E47-71B5-4352-8E34-BB4E49ECFA7}",
          "{74193E47-71B5-4352-8E34-BB4E49ECFA7G}", "{74193E47+71B5-4352-8E34-BB4E49ECFA76}", ""}) {
        EXPECT_FALSE(NormalizeGuid(bad)) << bad;
    }
}

}  // namespace
}  // namespace kaviro::builder
