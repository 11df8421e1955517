#pragma once
// Creation of the reserved worker variables at the start of every run.

#include "script/variable_manager.h"

namespace kaviro::script {

// VELK_thProgress "0", VELK_thMax "100", VELK_thMin "0", VELK_thProgressText
// empty, the three flags "FALSE", and both tick variables the current tick.
void DefineReservedVariables(TVariableManager& variables);

}  // namespace kaviro::script
