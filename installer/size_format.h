#pragma once
// Display text of a byte count for the feature dialogs: digits grouped by
// three with ",", then a blank and the unit. The unit texts come from the
// engine message table of the active language.

#include <cstdint>
#include <string>

namespace kaviro::installer {

struct SizeUnitTexts {
    std::string bytes = "bytes";
    std::string kilobytes = "KB";
    std::string megabytes = "MB";
};

// Below 1,048,576 (every negative value included) in bytes, below
// 1,073,741,824 in KB, else in MB; the quotient drops its remainder.
[[nodiscard]] std::string FormatSize(int64_t value, const SizeUnitTexts& units = {});

}  // namespace kaviro::installer
