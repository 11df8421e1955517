#pragma once
// Errors of the commands that draw payload from media blocks, and the
// choice every passed-over failure makes between ending the run and going on.

#include <string>
#include <string_view>

namespace kaviro::script {

class RunContext;

inline constexpr std::string_view kMediaErrorOrigin = "Weblock Abort";

// With ABORTONERROR true the run ends as by "Terminate Install"; otherwise
// ABORTEDONERROR becomes "TRUE" with the origin and the script goes on.
void EndRunOrPassOver(RunContext& context, std::string_view origin);

// The media error pattern: the taskbar in its error state while the error
// box is open (in a silent run the text goes to the trace instead, so an
// unattended install never waits for a person), then EndRunOrPassOver with
// the origin "Weblock Abort".
void ReportMediaError(RunContext& context, const std::string& errorText);

}  // namespace kaviro::script
