#pragma once
// The boolean expression language of "Evaluate Expression".
//
//   expression  := sequence              (evaluated on "(" + text + ")")
//   sequence    := term { connective term }   connectives "and", "or", strictly left to right
//   term        := "(" sequence ")" | comparison
//   comparison  := quoted operator quoted     operators = <> < <= > >=, byte order
//   quoted      := '"' { character | '""' } '"'
//
// Blanks (the space character only) between tokens are skipped.

#include <string>
#include <string_view>

namespace kaviro::script {

inline constexpr std::string_view kErrorText = "ERROR";
// Parentheses nested deeper than this make the expression an error instead
// of exhausting the stack.
inline constexpr int kMaxExpressionNesting = 256;

// "TRUE", "FALSE" or "ERROR"; never raises.
std::string EvaluateExpression(std::string_view text);

// Every "$" becomes a double quote, so that each reference is a quoted
// operand; valid unless the evaluation gives "ERROR".
bool CheckExpressionSyntax(std::string_view text);

}  // namespace kaviro::script
