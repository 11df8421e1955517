#pragma once
// The setup's command line.
//
//   /s  -s  /qn  -qn            silent (whole argument, case ignored)
//   /update  /updatesetup       no start-up windows (also with "-")
//   /l=path  -l=path            trace path
//   /p=path  -p=path            media path
//   /g=path                     policy path
//   /m=path                     wrapper path
//   NAME=VALUE                  override (neither "/" nor "-" first)
//
// For the four value switches each argument is lower-cased and searched for
// the switch text anywhere in it; the first argument that holds it wins and
// its value is that lower-cased argument without its first three characters.
// The values are therefore always lower case.

#include <string>
#include <string_view>
#include <vector>

namespace kaviro {

struct CommandLineOptions {
    bool silent = false;
    bool updating = false;    // /update or /updatesetup
    std::string tracePath;    // /l=
    std::string mediaPath;    // /p=
    std::string policyPath;   // /g=
    std::string wrapperPath;  // /m=
    std::string argumentText;
    // Alternating lines: upper-cased variable name, value as typed.
    std::vector<std::string> overrides;

    // Start-up windows are shown only in a run that is neither silent nor updating.
    [[nodiscard]] bool ShowsStartupWindows() const { return !silent && !updating; }
};

// The arguments after the program part, already split by the platform's
// rules, and the raw command line for the argument text.
[[nodiscard]] CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments,
                                                  std::string_view rawCommandLine);

// The raw command line without its program part: a quoted program part goes
// up to its closing quote and the one character after it; otherwise the
// program part ends at the first blank. With neither, the text is empty.
[[nodiscard]] std::string ArgumentText(std::string_view rawCommandLine);

}  // namespace kaviro
