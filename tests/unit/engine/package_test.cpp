#include <gtest/gtest.h>

#include "engine/engine_error.h"
#include "engine/package_lookup.h"
#include "engine/package_reader.h"
#include "engine/package_writer.h"

namespace kaviro {
namespace {

Script SampleScript() {
    Script script;
    script.statementNames = {"Set Variable", "If", "End", "Comment"};
    script.statementIds = {"{00000000-0000-0000-0000-000000000001}", "{00000000-0000-0000-0000-000000000002}",
                           "{00000000-0000-0000-0000-000000000003}", "{00000000-0000-0000-0000-000000000004}"};
    script.parameters = {"{00000000-0000-0000-0000-000000000001}", "PRICE", "$",
                         "{00000000-0000-0000-0000-000000000002}", "PRICE", "0", "$", "FALSE",
                         "{00000000-0000-0000-0000-000000000004}", "a $DOLLAR$ inside text"};
    script.statementFlags = {"", "", "", "C"};
    script.productCode = "{11111111-2222-3333-4444-555555555555}";
    script.title = "Sample Product";
    script.pluginCommandNames = {"Plug Thing"};
    script.company = "Sample Corp";
    script.contact = "Jo";
    script.helpLink = "http://help";
    script.updateLink = "http://update";
    script.comments = "none";
    script.version = "1.0.1";
    script.mediaPasswords = {"offline", "XYZ"};
    script.statementMediaFolders = {"", "", "", "OFFLINE\\"};
    script.mediaLayoutCode = 2;
    script.componentSection = {"Core", "100"};
    script.revisionCode = "{99999999-2222-3333-4444-555555555555}";
    script.payloadFiles = {"a", "b", "c"};
    script.languagePrompt = true;
    script.defaultLanguage = "English";
    script.commandHeaders = {"B41264CE", "431", "8F241664", "3"};
    script.buildSettings = {"CACHESOURCES", "FALSE", "LOCMODE", "NEWONLY"};
    script.codePage = 1252;
    script.sourceMap = {"C:\\Projects\\Setup.oru*0", "C:\\Projects\\Setup.oru*1", "C:\\Projects\\Setup.oru*2",
                        "C:\\Projects\\Setup.oru*296"};
    return script;
}

TEST(PackageFormat, WriterAndReaderRoundTripEveryField) {
    const Script original = SampleScript();
    const std::string text = WritePackage(original);
    EXPECT_NE(text.find("\r\n$DOLLAR$\r\n"), std::string::npos) << "a \"$\" parameter line travels as the marker";
    const Script loaded = ParsePackage(text);
    EXPECT_EQ(WritePackage(loaded), text);
    EXPECT_EQ(loaded.parameters, original.parameters);
    EXPECT_EQ(loaded.mediaLayoutCode, 2);
    EXPECT_TRUE(loaded.languagePrompt);
    EXPECT_EQ(loaded.sourceMap.back(), "C:\\Projects\\Setup.oru*296");
}

TEST(PackageFormat, EmptySectionsLoadAndTrailingBytesAreIgnored) {
    const std::string text =
        "$\r\n$\r\n$\r\n$\r\n{P}\r\nTitle\r\n$\r\nc\r\nct\r\nh\r\nu\r\ncm\r\n1.0\r\n$\r\n$\r\n 1\r\n$\r\n{R}\r\n$\r\n"
        "FALSE\r\nEnglish\r\n$\r\n$\r\n1252 trailing\r\n$\r\n\0\0\0padding";
    const Script script = ParsePackage(std::string_view(text.data(), text.size() + 10));
    EXPECT_TRUE(script.statementNames.empty());
    EXPECT_EQ(script.title, "Title");
    EXPECT_EQ(script.mediaLayoutCode, 1);
    EXPECT_EQ(script.codePage, 1252);
    EXPECT_FALSE(script.languagePrompt);
}

TEST(PackageFormat, MarkerLinesTurnBackIntoDollarOnlyWhenAlone) {
    Script script = SampleScript();
    script.parameters = {"{ID}", "$WILD_DOLLAR$", "$wild_dollar$", "$DOLLAR$", "x$DOLLAR$", "$DOLLAR$ "};
    const Script loaded = ParsePackage(WritePackage(script));
    EXPECT_EQ(loaded.parameters, (TextList{"{ID}", "$", "$", "$", "x$DOLLAR$", "$DOLLAR$ "}));
}

TEST(PackageFormat, LanguagePromptNeedsExactlyTrue) {
    for (const auto& [line, expected] : std::vector<std::pair<std::string, bool>>{
             {"TRUE", true}, {"True", false}, {"FALSE", false}, {"", false}}) {
        Script script = SampleScript();
        std::string text = WritePackage(script);
        const std::string marker = "\r\nTRUE\r\nEnglish\r\n";
        text.replace(text.find(marker), marker.size(), "\r\n" + line + "\r\nEnglish\r\n");
        EXPECT_EQ(ParsePackage(text).languagePrompt, expected) << line;
    }
}

TEST(PackageFormat, EveryTruncationBeforeTheLastSectionIsAnError) {
    const std::string text = WritePackage(SampleScript());
    // Cut after every complete line but the last one: each cut loses a section end.
    std::size_t cuts = 0;
    for (std::size_t position = text.find("\r\n"); position + 2 < text.size(); position = text.find("\r\n", position + 2)) {
        EXPECT_THROW(ParsePackage(std::string_view(text).substr(0, position + 2)), EngineError) << position;
        ++cuts;
    }
    EXPECT_GT(cuts, 40u);
    EXPECT_THROW(ParsePackage(""), EngineError);
}

TEST(PackageFormat, NonNumericIntegerLineIsAnError) {
    std::string text = WritePackage(SampleScript());
    text.replace(text.find("\r\n1252\r\n"), 8, "\r\nabc\r\n");
    EXPECT_THROW(ParsePackage(text), EngineError);
}

TEST(PackageFormat, WriterRefusesTextTheFormatCannotCarry) {
    Script withBreak = SampleScript();
    withBreak.title = "two\r\nlines";
    EXPECT_THROW(WritePackage(withBreak), EngineError);
    Script withDollarSetting = SampleScript();
    withDollarSetting.buildSettings = {"KEY", "$"};
    EXPECT_THROW(WritePackage(withDollarSetting), EngineError);
}

TEST(PackageLookup, GetParameter) {
    const Script script = ParsePackage(WritePackage(SampleScript()));
    const std::string id1 = "{00000000-0000-0000-0000-000000000001}";
    EXPECT_EQ(GetParameter(script, id1, 0), id1);
    EXPECT_EQ(GetParameter(script, id1, 1), "PRICE");
    EXPECT_EQ(GetParameter(script, id1, 2), "$");
    EXPECT_EQ(GetParameter(script, id1, 3), "{00000000-0000-0000-0000-000000000002}") << "runs into the next entry";
    EXPECT_EQ(GetParameter(script, "{00000000-0000-0000-0000-000000000002}", 4), "FALSE");
    EXPECT_EQ(GetParameter(script, "{00000000-0000-0000-0000-000000000003}", 1), "") << "no entry: empty";
    EXPECT_EQ(GetParameter(script, "{00000000-0000-0000-0000-00000000000a}", 0), "");
    EXPECT_EQ(GetParameter(script, "{00000000-0000-0000-0000-000000000004}", 1), "a $DOLLAR$ inside text");
    EXPECT_THROW(GetParameter(script, "{00000000-0000-0000-0000-000000000004}", 2), EngineError);
}

TEST(PackageLookup, ParameterIdsCompareWithoutCase) {
    Script script = SampleScript();
    script.parameters = {"{abcdef00-0000-0000-0000-000000000001}", "value"};
    script.RebuildParameterIndex();
    EXPECT_EQ(GetParameter(script, "{ABCDEF00-0000-0000-0000-000000000001}", 1), "value");
}

TEST(PackageLookup, CommandHeaders) {
    const Script script = SampleScript();
    EXPECT_EQ(GetCommandHeader(script, 431, HeaderLookup::Strict), "B41264CE");
    EXPECT_EQ(GetCommandHeader(script, 3, HeaderLookup::Strict), "8F241664");
    EXPECT_EQ(GetCommandHeader(script, 7, HeaderLookup::Lenient), "");
    try {
        GetCommandHeader(script, 7, HeaderLookup::Strict);
        FAIL() << "strict lookup must raise";
    } catch (const EngineError& error) {
        EXPECT_STREQ(error.what(), "Unable to obtain command headers. Please rebuild your project.");
    }
}

TEST(PackageLookup, ExpandBuildSettings) {
    Script script = SampleScript();
    script.buildSettings = {"CACHESOURCES", "FALSE", "OUTER", "#inner#!", "INNER", "in", "SELF", "#SELF##SELF#",
                            "LATE", "#CACHESOURCES#"};
    struct Case {
        std::string text, expected;
        int traced;
    };
    for (const Case& c : std::vector<Case>{
             {"#CACHESOURCES#", "FALSE", 0},
             {"#cachesources#/#CACHESOURCES#", "FALSE/FALSE", 0},
             {"#LOCMODE#", "#LOCMODE#", 0},
             {"no hash", "no hash", 0},
             {"#OUTER#", "in!", 0},  // INNER comes later in the list, so one pass resolves both
             {"#INNER##OUTER#", "inin!", 0},
             {"#LATE#", "FALSE", 1},  // the value names an earlier setting: a second pass
         }) {
        int traced = 0;
        EXPECT_EQ(ExpandBuildSettings(script, c.text, [&](const std::string&) { ++traced; }), c.expected) << c.text;
        EXPECT_EQ(traced, c.traced) << c.text;
    }
    // A setting that refers to itself grows every pass; the expansion stops.
    int traced = 0;
    const std::string self = ExpandBuildSettings(script, "#SELF#", [&](const std::string&) { ++traced; });
    EXPECT_GT(traced, 0);
    EXPECT_LE(traced, kMaxBuildSettingPasses);
    EXPECT_LE(self.size(), kMaxBuildSettingText);
    EXPECT_NE(self.find("#SELF#"), std::string::npos);
}

TEST(PackageLookup, SourcePosition) {
    struct Case {
        std::string line, name;
        int number;
    };
    for (const Case& c : std::vector<Case>{{"C:\\Projects\\Setup.oru*0", "Setup", 1},
                                           {"C:\\Projects\\Setup.oru*296", "Setup", 297},
                                           {"/home/a/b.c.oru*9", "b.c", 10},
                                           {"no star", "", 1},
                                           {"Main.oru*abc", "Main", 1},
                                           {"Main*", "Main", 1}}) {
        const auto info = ParseSourcePosition(c.line);
        EXPECT_EQ(info.fileName, c.name) << c.line;
        EXPECT_EQ(info.line, c.number) << c.line;
    }
    const Script script = SampleScript();
    EXPECT_EQ(SourcePosition(script, 3).line, 297);
    EXPECT_EQ(SourcePosition(script, 99).line, 1);
}

}  // namespace
}  // namespace kaviro
