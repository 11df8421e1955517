#pragma once
// Conditions of "If" and "Else If": one variable, one of seven comparison
// codes, one operand, a negation flag.

#include <string>
#include <string_view>

#include "script/variable_manager.h"

namespace kaviro::script {

struct ConditionParameters {
    std::string variable;  // bare name or $NAME$
    std::string code;      // "0" to "6"
    std::string operand;   // expanded before use
    std::string negation;  // boolean text
};

// Raises EngineError when a version component before a "." is not an integer.
bool EvaluateCondition(const TVariableManager& variables, const ConditionParameters& condition);

// Whether version a is later than version b; four dotted components each.
// Raises EngineError when a component before a "." is not an integer.
bool CompareVersions(std::string_view a, std::string_view b);

}  // namespace kaviro::script
