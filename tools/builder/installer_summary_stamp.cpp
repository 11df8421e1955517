#include "tools/builder/installer_summary_stamp.h"

#include <chrono>
#include <cstring>

#include "tools/builder/identifiers.h"

namespace kaviro::builder {
namespace {

constexpr uint8_t kStringProperty[] = {0x1E, 0, 0, 0, 39, 0, 0, 0};
constexpr uint8_t kTimeProperty[] = {0x40, 0, 0, 0};
constexpr std::size_t kGuidLength = 38;

bool MatchesAt(const std::vector<uint8_t>& bytes, std::size_t at, const uint8_t* pattern, std::size_t size) {
    return at + size <= bytes.size() && std::memcmp(bytes.data() + at, pattern, size) == 0;
}

}  // namespace

uint64_t CurrentFileTime() {
    using namespace std::chrono;
    const auto sinceUnixEpoch = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    return static_cast<uint64_t>(sinceUnixEpoch) * 10 + 116444736000000000ULL;
}

SummaryStampCount StampInstallerSummary(std::vector<uint8_t>& database, std::string_view packageCode,
                                        uint64_t windowStart, uint64_t windowEnd, uint64_t fixedTime) {
    SummaryStampCount count;
    for (std::size_t at = 0; at < database.size(); ++at) {
        if (MatchesAt(database, at, kStringProperty, sizeof kStringProperty) &&
            at + sizeof kStringProperty + kGuidLength < database.size() &&
            database[at + sizeof kStringProperty + kGuidLength] == 0 && packageCode.size() == kGuidLength) {
            uint8_t* text = database.data() + at + sizeof kStringProperty;
            if (NormalizeGuid(std::string_view(reinterpret_cast<const char*>(text), kGuidLength))) {
                std::memcpy(text, packageCode.data(), kGuidLength);
                ++count.packageCodes;
                at += sizeof kStringProperty + kGuidLength - 1;
                continue;
            }
        }
        if (MatchesAt(database, at, kTimeProperty, sizeof kTimeProperty) &&
            at + sizeof kTimeProperty + 8 <= database.size()) {
            uint64_t value = 0;
            for (int i = 0; i < 8; ++i) value |= uint64_t{database[at + 4 + i]} << (8 * i);
            if (value >= windowStart && value <= windowEnd) {
                for (int i = 0; i < 8; ++i) database[at + 4 + i] = static_cast<uint8_t>(fixedTime >> (8 * i));
                ++count.timeStamps;
                at += sizeof kTimeProperty + 8 - 1;
            }
        }
    }
    return count;
}

}  // namespace kaviro::builder
