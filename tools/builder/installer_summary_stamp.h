#pragma once
// wixl writes a random package code and the current time into the summary
// information of every database it makes, so two builds of the same WiX
// source differ. These rewrite those fields in place (same length), which
// makes a compiled database a function of its inputs.

#include <cstdint>
#include <string_view>
#include <vector>

namespace kaviro::builder {

// Windows FILETIME (100 ns since 1601) of the current time.
[[nodiscard]] uint64_t CurrentFileTime();

struct SummaryStampCount {
    int packageCodes = 0;
    int timeStamps = 0;
};

// Replaces every summary string property that holds a brace-enclosed GUID
// (type VT_LPSTR, length 39: the package code) by packageCode, and every
// VT_FILETIME value between windowStart and windowEnd (the moments around the
// compiler run) by fixedTime. Returns how many of each were replaced.
SummaryStampCount StampInstallerSummary(std::vector<uint8_t>& database, std::string_view packageCode,
                                        uint64_t windowStart, uint64_t windowEnd, uint64_t fixedTime);

}  // namespace kaviro::builder
