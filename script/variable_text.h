#pragma once
// Text conventions of variable values: booleans, line breaks carried as the
// "$NEWLINE$" marker, and references of the form $NAME$.

#include <string>
#include <string_view>

namespace kaviro::script {

inline constexpr std::string_view kTrueText = "TRUE";
inline constexpr std::string_view kFalseText = "FALSE";
inline constexpr std::string_view kNewlineMarker = "$NEWLINE$";
inline constexpr std::string_view kMissingVariableMarker = "$VELKNX$";

// True when the text, upper-cased, is "TRUE", or when it is exactly "-1".
bool TextToBool(std::string_view text);
std::string_view BoolToText(bool value);

// Every "$NEWLINE$" (case ignored) becomes CR LF.
std::string NewlineToCrlf(std::string_view text);
// Every CR LF becomes "$NEWLINE$".
std::string CrlfToNewline(std::string_view text);

// NAME for a text "$NAME$" whose only other "$" is its last character; empty otherwise.
std::string StripReference(std::string_view text);
// StripReference when the text is a reference, else the text itself.
std::string NameFromReference(std::string_view text);

}  // namespace kaviro::script
