#include "installer/size_format.h"

namespace kaviro::installer {
namespace {

std::string GroupDigits(uint64_t magnitude) {
    std::string digits = std::to_string(magnitude);
    std::string grouped;
    grouped.reserve(digits.size() + digits.size() / 3);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped.push_back(',');
        grouped.push_back(digits[i]);
    }
    return grouped;
}

}  // namespace

std::string FormatSize(int64_t value, const SizeUnitTexts& units) {
    const std::string* unit = &units.bytes;
    if (value >= 1073741824) {
        unit = &units.megabytes;
        value /= 1048576;
    } else if (value >= 1048576) {
        unit = &units.kilobytes;
        value /= 1024;
    }
    const bool negative = value < 0;
    // Through unsigned arithmetic so that the lowest value has a magnitude too.
    const uint64_t magnitude =
        negative ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string text = negative ? "-" : "";
    text += GroupDigits(magnitude);
    text += ' ';
    text += *unit;
    return text;
}

}  // namespace kaviro::installer
