// Extended floats, currency and string encodings of dialog file values.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/form_value_conversion.h"

namespace kaviro::ui {
namespace {

TEST(ExtendedTest, RoundTripsDoubles) {
    const double values[] = {0.0,
                             -0.0,
                             1.0,
                             -5.0,
                             0.1,
                             1e300,
                             -2.5e-300,
                             4.9e-324,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (double value : values) {
        const double back = DoubleFromExtended(ExtendedFromDouble(value));
        EXPECT_EQ(back, value);
        EXPECT_EQ(std::signbit(back), std::signbit(value)) << value;
    }
    EXPECT_TRUE(std::isnan(DoubleFromExtended(ExtendedFromDouble(std::nan("")))));
}

TEST(ExtendedTest, HasTheStoredLayout) {
    const std::array<std::uint8_t, 10> oneAndHalf = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F};
    EXPECT_EQ(ExtendedFromDouble(1.5), oneAndHalf);
    // pi as stored with full 64-bit mantissa reads as the nearest double
    const std::array<std::uint8_t, 10> pi = {0x35, 0xC2, 0x68, 0x21, 0xA2, 0xDA, 0x0F, 0xC9, 0x00, 0x40};
    EXPECT_DOUBLE_EQ(DoubleFromExtended(pi), 3.14159265358979323846);
}

TEST(CurrencyTest, FormatsAndParses) {
    const struct {
        std::int64_t scaled;
        const char* text;
    } cases[] = {{0, "0"},
                 {125000, "12.5"},
                 {-123456, "-12.3456"},
                 {1, "0.0001"},
                 {-5, "-0.0005"},
                 {std::numeric_limits<std::int64_t>::min(), "-922337203685477.5808"},
                 {std::numeric_limits<std::int64_t>::max(), "922337203685477.5807"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FormatCurrency(c.scaled), c.text);
        EXPECT_EQ(ParseCurrency(c.text), c.scaled) << c.text;
    }
    for (const char* bad : {"", "-", "1.", ".5", "1.23456", "1e3", "922337203685477.5808", "12a"}) {
        EXPECT_EQ(ParseCurrency(bad), std::nullopt) << bad;
    }
}

TEST(EncodingTest, ConvertsBetweenUtf8Utf16AndAnsi) {
    EXPECT_EQ(Utf16FromUtf8("Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"), u"Caf\u00E9 \u20AC \U0001F600");
    EXPECT_EQ(Utf8FromUtf16(u"Caf\u00E9 \u20AC \U0001F600"), "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    for (const char* bad : {"\xFF", "\xC3", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
        EXPECT_EQ(Utf16FromUtf8(bad), std::nullopt);
    }
    EXPECT_EQ(AnsiFromUtf16(u"Caf\u00E9 \u20AC \u2122 \u0416 \U0001F600"), "Caf\xE9 \x80 \x99 ? ?");
    EXPECT_EQ(AnsiFromUtf8("\xE2\x80\x9Cq\xE2\x80\x9D"), "\x93q\x94");
}

}  // namespace
}  // namespace kaviro::ui
