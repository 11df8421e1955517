#pragma once
// "Mathematics": signed 64-bit arithmetic, bit operations, character codes
// and a small linear congruential generator.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/text_util.h"

namespace kaviro::script {

// The generator's multiplier, increment and state; the engine keeps one for
// the process, starting at 0.
struct RandomGenerator {
    uint32_t multiplier = 0;
    uint32_t increment = 0;
    uint32_t state = 0;
};
RandomGenerator& ProcessRandomGenerator();

// Decimal 64-bit integers of the arithmetic commands.
using kaviro::ParseInt64;

// The result text of operation code on the expanded operands a and b, or
// empty when the operation fails (bad operand or code, division by zero,
// an empty text for code 11, a code outside 0 to 15).
std::optional<std::string> Calculate(std::string_view a, std::string_view b, std::string_view code,
                                     RandomGenerator& generator);

}  // namespace kaviro::script
