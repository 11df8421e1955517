#pragma once
// The caption of the engine's own message boxes: with title T (the TITLE
// variable as last copied by the interpreter) and the logo flag (VELKLOGO
// exactly "TRUE"): T when the logo flag is set; T + " - Kaviro Wizard" when T
// is not empty; otherwise "Kaviro Wizard". Before the interpreter runs there
// is no title, so start-up messages are captioned "Kaviro Wizard".

#include <string>
#include <string_view>

namespace kaviro {

[[nodiscard]] std::string ApplyWindowCaptionRule(std::string_view title, bool logoFlag);

}  // namespace kaviro
