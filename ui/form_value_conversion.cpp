#include "ui/form_value_conversion.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace kaviro::ui {

std::array<std::uint8_t, 10> ExtendedFromDouble(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    const bool negative = (bits >> 63) != 0;
    const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    std::uint64_t mantissa = 0;
    int extendedExponent = 0;
    if (exponent == 0x7FF) {
        extendedExponent = 0x7FFF;
        mantissa = (std::uint64_t{1} << 63) | (fraction << 11);
        if (fraction != 0) {
            mantissa |= std::uint64_t{1} << 62;  // quiet NaN
        }
    } else if (exponent != 0) {
        extendedExponent = exponent - 1023 + 16383;
        mantissa = (std::uint64_t{1} << 63) | (fraction << 11);
    } else if (fraction != 0) {
        // Subnormal double: normalise, since extended has the range for it.
        int shift = 0;
        while ((fraction & (std::uint64_t{1} << 52)) == 0) {
            fraction <<= 1;
            ++shift;
        }
        extendedExponent = 1 - 1023 - shift + 16383;
        mantissa = fraction << 11;
    }
    std::array<std::uint8_t, 10> bytes{};
    for (int i = 0; i < 8; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(mantissa >> (8 * i));
    }
    const unsigned top = static_cast<unsigned>(extendedExponent) | (negative ? 0x8000u : 0u);
    bytes[8] = static_cast<std::uint8_t>(top);
    bytes[9] = static_cast<std::uint8_t>(top >> 8);
    return bytes;
}

double DoubleFromExtended(const std::array<std::uint8_t, 10>& bytes) {
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i) {
        mantissa |= static_cast<std::uint64_t>(bytes[static_cast<std::size_t>(i)]) << (8 * i);
    }
    const unsigned top = bytes[8] | (static_cast<unsigned>(bytes[9]) << 8);
    const bool negative = (top & 0x8000u) != 0;
    const int exponent = static_cast<int>(top & 0x7FFFu);
    double value;
    if (exponent == 0x7FFF) {
        value = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::quiet_NaN();
    } else {
        const int power = (exponent == 0 ? 1 : exponent) - 16383 - 63;
        value = std::ldexp(static_cast<double>(mantissa), power);
    }
    return negative ? -value : value;
}

std::string FormatReal(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatSingle(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatCurrency(std::int64_t scaled) {
    const bool negative = scaled < 0;
    // Work in unsigned so that the most negative amount has a magnitude too.
    const std::uint64_t magnitude =
        negative ? ~static_cast<std::uint64_t>(scaled) + 1 : static_cast<std::uint64_t>(scaled);
    std::string text = std::to_string(magnitude / 10000);
    std::string fraction = std::to_string(magnitude % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (!fraction.empty()) {
        text += "." + fraction;
    }
    return negative ? "-" + text : text;
}

std::optional<std::int64_t> ParseCurrency(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (whole.empty() || fraction.size() > 4 || (point != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    std::uint64_t magnitude = 0;
    auto addDigit = [&](char c) {
        if (c < '0' || c > '9' || magnitude > (std::numeric_limits<std::uint64_t>::max() - 9) / 10) {
            return false;
        }
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
        return true;
    };
    for (char c : whole) {
        if (!addDigit(c)) {
            return std::nullopt;
        }
    }
    for (std::size_t i = 0; i < 4; ++i) {
        if (!addDigit(i < fraction.size() ? fraction[i] : '0')) {
            return std::nullopt;
        }
    }
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    if (magnitude > limit) {
        return std::nullopt;
    }
    return negative ? static_cast<std::int64_t>(~magnitude + 1) : static_cast<std::int64_t>(magnitude);
}

std::optional<std::u16string> Utf16FromUtf8(std::string_view text) {
    std::u16string result;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::uint32_t code;
        std::size_t length;
        if (lead < 0x80) {
            code = lead;
            length = 1;
        } else if ((lead & 0xE0) == 0xC0) {
            code = lead & 0x1F;
            length = 2;
        } else if ((lead & 0xF0) == 0xE0) {
            code = lead & 0x0F;
            length = 3;
        } else if ((lead & 0xF8) == 0xF0) {
            code = lead & 0x07;
            length = 4;
        } else {
            return std::nullopt;
        }
        if (i + length > text.size()) {
            return std::nullopt;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return std::nullopt;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    return result;
}

std::string Utf8FromUtf16(std::u16string_view text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        }
        if (code < 0x80) {
            result.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            result.push_back(static_cast<char>(0xC0 | (code >> 6)));
            result.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            result.push_back(static_cast<char>(0xE0 | (code >> 12)));
            result.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            result.push_back(static_cast<char>(0xF0 | (code >> 18)));
            result.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return result;
}

std::string AnsiFromUtf16(std::u16string_view text) {
    // Windows-1252 bytes 0x80..0x9F; 0 marks the five bytes it leaves unassigned.
    static constexpr char16_t kHighControls[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
            result.push_back(static_cast<char>(unit));
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k) {
            if (kHighControls[k] != 0 && kHighControls[k] == unit) {
                mapped = static_cast<char>(0x80 + k);
            }
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ++i;  // one "?" for the whole surrogate pair
        }
        result.push_back(mapped);
    }
    return result;
}

std::string AnsiFromUtf8(std::string_view text) {
    const std::optional<std::u16string> wide = Utf16FromUtf8(text);
    return wide ? AnsiFromUtf16(*wide) : std::string(text);
}

}  // namespace kaviro::ui
