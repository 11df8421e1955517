#include "script/math_command.h"

#include <limits>

#include "engine/text_util.h"

namespace kaviro::script {

RandomGenerator& ProcessRandomGenerator() {
    static RandomGenerator generator;
    return generator;
}

namespace {

// Two's complement wrap-around without undefined behaviour.
int64_t Wrap(uint64_t value) { return static_cast<int64_t>(value); }

int64_t Shift(int64_t a, int64_t b, bool left) {
    // The count is taken from the low byte; counts of 64 and more give 0.
    const auto count = static_cast<unsigned>(static_cast<uint64_t>(b) & 0xFF);
    if (count >= 64) return 0;
    const auto bits = static_cast<uint64_t>(a);
    return Wrap(left ? bits << count : bits >> count);
}

}  // namespace

std::optional<std::string> Calculate(std::string_view aText, std::string_view bText, std::string_view codeText,
                                     RandomGenerator& generator) {
    const auto code = ParseInt32(codeText);
    if (!code || *code < 0 || *code > 15) return std::nullopt;
    if (*code == 11) {
        if (aText.empty()) return std::nullopt;
        return std::to_string(static_cast<unsigned char>(aText.front()));
    }
    const auto a = ParseInt64(aText);
    if (!a) return std::nullopt;
    const bool needsB = *code <= 9 || *code == 13;
    std::optional<int64_t> b;
    if (needsB) {
        b = ParseInt64(bText);
        if (!b) return std::nullopt;
    }
    const auto ua = static_cast<uint64_t>(*a);
    const auto ub = static_cast<uint64_t>(b.value_or(0));
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    int64_t result = 0;
    switch (*code) {
        case 0: result = Wrap(ua + ub); break;
        case 1: result = Wrap(ua - ub); break;
        case 2: result = Wrap(ua * ub); break;
        case 3:
            if (*b == 0 || (*a == kMin && *b == -1)) return std::nullopt;
            result = *a / *b;
            break;
        case 4:
            if (*b == 0) return std::nullopt;
            result = *b == -1 ? 0 : *a % *b;
            break;
        case 5: result = Wrap(ua & ub); break;
        case 6: result = Wrap(ua | ub); break;
        case 7: result = Wrap(ua ^ ub); break;
        case 8: result = Shift(*a, *b, true); break;
        case 9: result = Shift(*a, *b, false); break;
        case 10: result = Wrap(~ua); break;
        case 12: return std::string(1, static_cast<char>(ua & 0xFF));
        case 13:
            generator.multiplier = static_cast<uint32_t>(ua);
            generator.increment = static_cast<uint32_t>(ub);
            result = Wrap(ua + ub);
            break;
        case 14:
            generator.state = static_cast<uint32_t>(ua);
            result = static_cast<int32_t>(static_cast<uint32_t>(ua));
            break;
        case 15: {
            const auto x = static_cast<int32_t>(generator.multiplier * generator.state + generator.increment);
            generator.state = static_cast<uint32_t>(x % 32767);
            if (*a == 0) return std::nullopt;
            result = *a == -1 ? 0 : int64_t{x} % *a;
            break;
        }
        default:
            return std::nullopt;
    }
    return std::to_string(result);
}

}  // namespace kaviro::script
