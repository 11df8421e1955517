#pragma once
// Lookups into a loaded script package.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "engine/package_format.h"

namespace kaviro {

// Parameter k (1-based) of the statement with the given id; k = 0 returns the
// id line itself. Empty text when the id has no entry. A lookup that reaches
// past the end of the parameter list raises EngineError.
std::string GetParameter(const Script& script, std::string_view statementId, int k);

// Strict lookups raise the header error when a statement has no header code;
// lenient ones (the interpreter's start-up sweep) return empty text.
enum class HeaderLookup { Lenient, Strict };
inline constexpr std::string_view kHeaderErrorText = "Unable to obtain command headers. Please rebuild your project.";
std::string GetCommandHeader(const Script& script, std::size_t statementIndex, HeaderLookup mode);

// Replaces #KEY# references by build setting values (case ignored, in list
// order), again and again while a pass leaves a "#" and changes the text.
// Each intermediate text goes to the trace sink (no window: a silent run must
// never wait for a person). Self-referring settings stop after a fixed number
// of passes, or once the text outgrows a sane size, instead of looping forever.
using TraceSink = std::function<void(const std::string&)>;
inline constexpr int kMaxBuildSettingPasses = 16;
inline constexpr std::size_t kMaxBuildSettingText = 1 << 20;
std::string ExpandBuildSettings(const Script& script, std::string_view text, const TraceSink& trace = {});

// Where a statement stands in the script source: file base name and 1-based line.
struct SourcePositionInfo {
    std::string fileName;
    int line = 1;
};
SourcePositionInfo SourcePosition(const Script& script, std::size_t statementIndex);
SourcePositionInfo ParseSourcePosition(std::string_view sourceMapLine);

}  // namespace kaviro
