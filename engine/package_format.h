#pragma once
// The script package: the compiled script appended to the engine stub. This
// header is the one contract between the engine's loader and the builder's
// writer. The package is ANSI text with CRLF line ends in twelve sections;
// lists end with a line that is exactly "$", single lines stand before the
// list of their section. Both sides walk the same layout table below, so the
// order of fields cannot drift between them.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "engine/text_util.h"

namespace kaviro {

using TextList = std::vector<std::string>;

struct Script {
    TextList statementNames;         // 1
    TextList statementIds;           // 2
    TextList parameters;             // 3: id line, then its parameter lines, per statement with parameters
    TextList statementFlags;         // 4: "C" marks a disabled statement
    std::string productCode;         // 5
    std::string title;
    TextList pluginCommandNames;
    std::string company;             // 6
    std::string contact;
    std::string helpLink;
    std::string updateLink;
    std::string comments;
    std::string version;
    TextList mediaPasswords;         // alternating block name, scrambled password
    TextList statementMediaFolders;  // 7
    int32_t mediaLayoutCode = 1;     // 8
    TextList componentSection;
    std::string revisionCode;        // 9
    TextList payloadFiles;           // triples of lines per file
    bool languagePrompt = false;     // 10: written "TRUE"/"FALSE"; only exactly "TRUE" sets it
    std::string defaultLanguage;
    TextList commandHeaders;         // alternating header code, decimal statement index
    TextList buildSettings;          // 11: alternating key, value
    int32_t codePage = 1252;         // 12
    TextList sourceMap;              // one "full path*0-based line" per statement

    // First position of each line of `parameters`, case ignored; built by the loader.
    std::unordered_map<std::string, std::size_t, CaseInsensitiveHash, CaseInsensitiveEqual> parameterIndex;

    void RebuildParameterIndex();
};

// One field of the layout, in package order.
enum class PackageFieldKind { List, Line, Integer, Flag };
using PackageFieldMember =
    std::variant<TextList Script::*, std::string Script::*, int32_t Script::*, bool Script::*>;
struct PackageField {
    int section;  // 1..12
    const char* name;
    PackageFieldMember member;
};

// The twelve sections in order; every section ends with its one list.
const std::vector<PackageField>& PackageLayout();

// The line that closes a list, and the markers that stand for a parameter
// line that is exactly "$".
inline constexpr std::string_view kListEnd = "$";
inline constexpr std::string_view kDollarMarker = "$DOLLAR$";
inline constexpr std::string_view kWildDollarMarker = "$WILD_DOLLAR$";

}  // namespace kaviro
