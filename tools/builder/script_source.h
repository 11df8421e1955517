#pragma once
// Reader of the script source: the readable form of a setup script that
// authors write and the builder compiles into a package. See
// docs/script-format.md. Grammar, one item per line:
//
//   statement  := name                 at column 0; trailing blanks dropped
//   attribute  := blanks? "@disabled"
//               | blanks? "@media" blanks folder "\"
//               | blanks? "@id" blanks "{" GUID "}"
//               | blanks? "@name" blanks label       a word naming the statement for translations
//   parameter  := blanks? "|" [" "] value    value = rest of the line, kept as is
//   comment    := blanks? "#" anything
//   blank line := blanks?
//
// Attributes and parameters belong to the statement above them. Errors raise
// BuildError naming the source file and the 1-based line.

#include <string>
#include <string_view>
#include <vector>

namespace kaviro::builder {

struct SourceStatement {
    std::string name;
    std::vector<std::string> parameters;
    bool disabled = false;
    std::string mediaFolder;  // empty, or a folder name ending in "\"
    std::string id;           // given with @id (upper case), else empty
    std::string label;        // given with @name, else empty
    std::size_t line = 0;     // 0-based line of the statement line
};

[[nodiscard]] std::vector<SourceStatement> ParseScriptSource(std::string_view text,
                                                             const std::string& sourceName);

}  // namespace kaviro::builder
