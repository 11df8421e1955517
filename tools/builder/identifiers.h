#pragma once
// Deterministic identifiers of a build: statement ids, command header codes
// and GUIDs derived from hashes, so that the same project always gives the
// same package.

#include <optional>
#include <string>
#include <string_view>

#include "tools/builder/sha256.h"

namespace kaviro::builder {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case from the first 16
// bytes of a digest, marked as a name-based (version 5, RFC 4122 variant) GUID.
[[nodiscard]] std::string GuidFromDigest(const Sha256Digest& digest);

// A brace-enclosed GUID in upper case, or nothing when text is not one
// (hex digits of either case are accepted).
[[nodiscard]] std::optional<std::string> NormalizeGuid(std::string_view text);

// The id of statement `index` of a product: stable across builds as long as
// the product code and the statement's position stay.
[[nodiscard]] std::string DerivedStatementId(std::string_view productCode, std::size_t index);

// Eight upper-case hex digits for a header command, from its statement id;
// `attempt` > 0 gives alternatives when two statements would share a code.
[[nodiscard]] std::string DerivedHeaderCode(std::string_view productCode, std::string_view statementId,
                                            int attempt);

}  // namespace kaviro::builder
