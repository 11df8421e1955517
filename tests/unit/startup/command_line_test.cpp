#include <gtest/gtest.h>

#include "engine/command_line.h"

namespace kaviro {
namespace {

CommandLineOptions Parse(const std::vector<std::string>& arguments) {
    return ParseCommandLine(arguments, "");
}

TEST(CommandLine, SilentAndUpdateSwitchesMatchWholeArguments) {
    const struct {
        std::vector<std::string> arguments;
        bool silent;
        bool updating;
    } cases[] = {
        {{"/s"}, true, false},        {{"-S"}, true, false},           {{"/QN"}, true, false},
        {{"-qn"}, true, false},       {{"/silent"}, false, false},     {{"s"}, false, false},
        {{"/s2"}, false, false},      {{"/update"}, false, true},      {{"-UpdateSetup"}, false, true},
        {{"/updates"}, false, false}, {{"/s", "/update"}, true, true}, {{}, false, false},
    };
    for (const auto& entry : cases) {
        const CommandLineOptions options = Parse(entry.arguments);
        const std::string what = entry.arguments.empty() ? "(none)" : entry.arguments[0];
        EXPECT_EQ(options.silent, entry.silent) << what;
        EXPECT_EQ(options.updating, entry.updating) << what;
        EXPECT_EQ(options.ShowsStartupWindows(), !entry.silent && !entry.updating) << what;
    }
}

TEST(CommandLine, ValueSwitchesAreLowerCasedAndTheFirstWins) {
    const CommandLineOptions options =
        Parse({"/L=C:\\Temp\\Trace.TXT", "-l=d:\\second.txt", "-P=E:\\Media\\", "/p=f:\\later",
               "/G=\\\\Server\\Policy.INI", "/M=C:\\Wrap.EXE"});
    EXPECT_EQ(options.tracePath, "c:\\temp\\trace.txt");
    EXPECT_EQ(options.mediaPath, "e:\\media\\");
    EXPECT_EQ(options.policyPath, "\\\\server\\policy.ini");
    EXPECT_EQ(options.wrapperPath, "c:\\wrap.exe");
}

TEST(CommandLine, ValueSwitchTextIsFoundAnywhereInAnArgument) {
    // The value is the lowered argument without its first three characters,
    // wherever the switch text stands in it; /g= and /m= have no "-" form.
    const CommandLineOptions options = Parse({"x/l=Log.txt", "-g=ignored", "-m=ignored"});
    EXPECT_EQ(options.tracePath, "=log.txt");
    EXPECT_EQ(options.policyPath, "");
    EXPECT_EQ(options.wrapperPath, "");
}

TEST(CommandLine, OverridesInArgumentOrder) {
    const CommandLineOptions options = Parse(
        {"TARGETDIR=D:\\App", "/TARGETDIR=D:\\Other", "-X=1", "name=a=b", "Name=Second", "novalue", "=v"});
    EXPECT_EQ(options.overrides,
              (std::vector<std::string>{"TARGETDIR", "D:\\App", "NAME", "a=b", "NAME", "Second", "", "v"}));
}

TEST(CommandLine, ArgumentTextDropsTheProgramPart) {
    const struct {
        const char* raw;
        const char* text;
    } cases[] = {
        {"\"C:\\My Setup\\setup.exe\" /s /l=x", "/s /l=x"},
        {"\"C:\\setup.exe\"/s", "s"},  // the character after the closing quote goes as well
        {"\"C:\\setup.exe\"", ""},
        {"\"C:\\setup.exe", ""},
        {"setup.exe /s  A=B", "/s  A=B"},
        {"setup.exe", ""},
        {"", ""},
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(ArgumentText(entry.raw), entry.text) << entry.raw;
        EXPECT_EQ(ParseCommandLine({}, entry.raw).argumentText, entry.text) << entry.raw;
    }
}

}  // namespace
}  // namespace kaviro
