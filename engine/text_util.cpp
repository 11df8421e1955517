#include "engine/text_util.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace kaviro {


std::string UpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = AsciiUpper(c);
    return result;
}

std::string LowerCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = AsciiLower(c);
    return result;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    // Names are mostly spelt the same way: identical bytes decide at once.
    if (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0) return true;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

std::size_t FindIgnoreCase(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty()) return from <= text.size() ? from : std::string_view::npos;
    if (text.size() < needle.size()) return std::string_view::npos;
    const char first = AsciiUpper(needle[0]);
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        if (AsciiUpper(text[i]) == first && EqualsIgnoreCase(text.substr(i, needle.size()), needle)) return i;
    }
    return std::string_view::npos;
}

std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view needle, std::string_view replacement) {
    if (needle.empty()) return std::string(text);
    std::string result;
    std::size_t position = 0;
    for (;;) {
        const std::size_t found = FindIgnoreCase(text, needle, position);
        if (found == std::string_view::npos) break;
        result.append(text.substr(position, found - position));
        result.append(replacement);
        position = found + needle.size();
    }
    result.append(text.substr(position));
    return result;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinLinesCrlf(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
    std::string result;
    result.reserve(size);
    for (const auto& line : lines) {
        result += line;
        result += "\r\n";
    }
    return result;
}

std::optional<int64_t> ParseInt64(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<uint64_t>(c - '0');
        if (value > (limit - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
}

std::optional<int32_t> ParseInt32(std::string_view text) {
    const std::optional<int64_t> value = ParseInt64(text);
    if (!value || *value < std::numeric_limits<int32_t>::min() || *value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(*value);
}

namespace {

// Upper-cases the ASCII letters of eight bytes at once: a byte below 0x80 that
// lies in 'a'..'z' loses its 0x20 bit; every other byte stays.
uint64_t AsciiUpperWord(uint64_t word) {
    constexpr uint64_t ones = 0x0101010101010101ull;
    constexpr uint64_t highBits = 0x8080808080808080ull;
    const uint64_t low7 = word & ~highBits;
    const uint64_t atLeastA = low7 + ones * (0x80 - 'a');
    const uint64_t aboveZ = low7 + ones * (0x80 - 'z' - 1);
    const uint64_t lowerCase = atLeastA & ~aboveZ & ~word & highBits;
    return word ^ (lowerCase >> 2);
}

}  // namespace

std::size_t CaseInsensitiveHash::operator()(std::string_view text) const noexcept {
    // Eight upper-cased bytes per step, multiplied in, then the tail byte by
    // byte; equal names under ASCII case folding hash alike.
    constexpr uint64_t prime = 0x100000001b3ull;
    uint64_t hash = 0xcbf29ce484222325ull ^ text.size();
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        hash = (hash ^ AsciiUpperWord(word)) * prime;
        hash ^= hash >> 32;
    }
    for (; i < text.size(); ++i) {
        hash = (hash ^ static_cast<unsigned char>(AsciiUpper(text[i]))) * prime;
    }
    hash ^= hash >> 29;
    return static_cast<std::size_t>(hash);
}

}  // namespace kaviro
