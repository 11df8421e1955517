#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/builder/build_error.h"
#include "tools/builder/script_source.h"

namespace kaviro::builder {
namespace {

TEST(ScriptSource, ReadsStatementsParametersAndAttributes) {
    const std::string text =
        "# header comment\r\n"
        "Set Variable\r\n"
        "    | NAME\r\n"
        "    |   two leading blanks kept after the first  \r\n"
        "\r\n"
        "Comment  \n"
        "|\n"
        "\t|no blank\n"
        "    |$\n"
        "   # indented comment\n"
        "Install Files\n"
        "    @media OFFLINE\\\n"
        "    @disabled\n"
        "    @id {74193e47-71b5-4352-8e34-bb4e49ecfa76}\n"
        "    | a | b |\n"
        "End";
    const auto statements = ParseScriptSource(text, "setup.kvs");
    ASSERT_EQ(statements.size(), 4u);

    EXPECT_EQ(statements[0].name, "Set Variable");
    EXPECT_EQ(statements[0].line, 1u);
    EXPECT_EQ(statements[0].parameters,
              (std::vector<std::string>{"NAME", "  two leading blanks kept after the first  "}));
    EXPECT_FALSE(statements[0].disabled);

    EXPECT_EQ(statements[1].name, "Comment");  // trailing blanks of a name are dropped
    EXPECT_EQ(statements[1].line, 5u);
    EXPECT_EQ(statements[1].parameters, (std::vector<std::string>{"", "no blank", "$"}));

    EXPECT_EQ(statements[2].name, "Install Files");
    EXPECT_TRUE(statements[2].disabled);
    EXPECT_EQ(statements[2].mediaFolder, "OFFLINE\\");
    EXPECT_EQ(statements[2].id, "{74193E47-71B5-4352-8E34-BB4E49ECFA76}");
    EXPECT_EQ(statements[2].parameters, (std::vector<std::string>{"a | b |"}));

    EXPECT_EQ(statements[3].name, "End");
    EXPECT_EQ(statements[3].line, 15u);
    EXPECT_TRUE(statements[3].parameters.empty());
}

TEST(ScriptSource, EmptySourceHasNoStatements) {
    EXPECT_TRUE(ParseScriptSource("", "s.kvs").empty());
    EXPECT_TRUE(ParseScriptSource("# only a comment\n\n   \n", "s.kvs").empty());
}

struct BadSource {
    std::string_view text;  // a view, so that an embedded NUL stays part of it
    const char* location;   // expected start of the message
    const char* reason;     // expected part of the message
};

TEST(ScriptSource, BadInputNamesFileAndLine) {
    using namespace std::string_view_literals;
    const BadSource cases[] = {
        {"| value\n"sv, "s.kvs:1:", "parameter line before any statement"},
        {"# c\n\n  @disabled\nEnd\n"sv, "s.kvs:3:", "attribute line before any statement"},
        {"If\n  | A\n  stray text\n"sv, "s.kvs:3:", "indented text"},
        {"If\n  @disabled yes\n"sv, "s.kvs:2:", "takes no value"},
        {"If\n  @disabled\n  @disabled\n"sv, "s.kvs:3:", "given twice"},
        {"If\n  @media OFFLINE\n"sv, "s.kvs:2:", "backslash"},
        {"If\n  @media\n"sv, "s.kvs:2:", "needs a folder"},
        {"If\n  @id {74193E47-71B5-4352-8E34\n"sv, "s.kvs:2:", "unterminated"},
        {"If\n  @id 74193E47\n"sv, "s.kvs:2:", "brace-enclosed GUID"},
        {"If\n  @colour red\n"sv, "s.kvs:2:", "unknown attribute"},
        {"If\n  @name\n"sv, "s.kvs:2:", "@name needs one word"},
        {"If\n  @name two words\n"sv, "s.kvs:2:", "@name needs one word"},
        {"If\n  @name a\n  @name b\n"sv, "s.kvs:3:", "@name given twice"},
        {"If\n  @name box\nEnd\n  @name BOX\n"sv, "s.kvs:4:", "already used by the statement in line 1"},
        {"If\n  | one\r two\n"sv, "s.kvs:2:", "line break"},
        {"If\n\n  | a\0b\n"sv, "s.kvs:3:", "NUL"},
        {"\xEF\xBB\xBFIf\n"sv, "s.kvs:1:", "byte-order mark"},
    };
    for (const auto& bad : cases) {
        try {
            (void)ParseScriptSource(bad.text, "s.kvs");
            ADD_FAILURE() << "accepted: " << bad.text;
        } catch (const BuildError& error) {
            const std::string message = error.what();
            EXPECT_TRUE(message.starts_with(bad.location)) << message;
            EXPECT_NE(message.find(bad.reason), std::string::npos) << message;
        }
    }
}

}  // namespace
}  // namespace kaviro::builder
