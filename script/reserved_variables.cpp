#include "script/reserved_variables.h"

#include <string>

namespace kaviro::script {

void DefineReservedVariables(TVariableManager& variables) {
    constexpr std::string_view origin = "Initialization";
    const std::string tick = std::to_string(variables.CurrentTick());
    variables.DefineVariable(kThreadProgress, "0", origin);
    variables.DefineVariable(kThreadMax, "100", origin);
    variables.DefineVariable(kThreadMin, "0", origin);
    variables.DefineVariable(kThreadProgressText, "", origin);
    variables.DefineVariable(kThreadFinished, "FALSE", origin);
    variables.DefineVariable(kThreadCancelled, "FALSE", origin);
    variables.DefineVariable(kIsCancelled, "FALSE", origin);
    variables.DefineVariable(kLastDelegateTick, tick, origin);
    variables.DefineVariable(kLastActiveTick, tick, origin);
}

}  // namespace kaviro::script
