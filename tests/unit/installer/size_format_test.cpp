#include "installer/size_format.h"

#include <gtest/gtest.h>

#include <limits>

#include "fake_variables.h"
#include "installer/target_space.h"

namespace kaviro::installer {
namespace {

TEST(FormatSize, ChoosesTheUnitAndGroupsDigits) {
    struct Case {
        int64_t value;
        const char* text;
    };
    const Case cases[] = {
        {0, "0 bytes"},
        {999, "999 bytes"},
        {1000, "1,000 bytes"},
        {1048575, "1,048,575 bytes"},
        {1048576, "1,024 KB"},
        {1049599, "1,024 KB"},
        {1073741823, "1,048,575 KB"},
        {1073741824, "1,024 MB"},
        {-2048, "-2,048 bytes"},
        {-5000000, "-5,000,000 bytes"},
        {std::numeric_limits<int64_t>::max(), "8,796,093,022,207 MB"},
        {std::numeric_limits<int64_t>::min(), "-9,223,372,036,854,775,808 bytes"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatSize(c.value), c.text) << c.value;
}

TEST(FormatSize, UsesTheGivenUnitTexts) {
    const SizeUnitTexts german{"Bytes", "KB", "MB"};
    EXPECT_EQ(FormatSize(512, german), "512 Bytes");
    const SizeUnitTexts odd{"o", "Kio", "Mio"};
    EXPECT_EQ(FormatSize(2097152, odd), "2,048 Kio");
    EXPECT_EQ(FormatSize(int64_t{3} << 30, odd), "3,072 Mio");
}

TEST(TargetSpace, FreeSpaceOnTheTargetDriveAndAfterInstall) {
    test::FakeVariables variables;
    std::string probed;
    const FreeBytesProbe probe = [&](const std::string& folder) {
        probed = folder;
        return int64_t{5000};
    };
    EXPECT_EQ(FreeSpaceOnTarget(variables, probe), -1);
    EXPECT_TRUE(probed.empty());
    variables.values["TARGETDIR"] = "C:\\Program Files\\Product";
    EXPECT_EQ(FreeSpaceOnTarget(variables, probe), 5000);
    EXPECT_EQ(probed, "C:\\Program Files\\Product");

    ComponentModel model;
    model.DefineComponent("A", "", true);
    model.StoreComponentSize("A", 1200);
    EXPECT_EQ(FreeSpaceAfterInstall(model, variables, probe), 3800);
}

}  // namespace
}  // namespace kaviro::installer
