#include "script/media_error.h"

#include "script/run_context.h"
#include "script/variable_text.h"

namespace kaviro::script {

void EndRunOrPassOver(RunContext& context, std::string_view origin) {
    TVariableManager& variables = context.variables();
    if (TextToBool(variables.Get("ABORTONERROR"))) {
        context.Terminate();
        return;
    }
    variables.AssignVariable("ABORTEDONERROR", kTrueText, origin);
}

void ReportMediaError(RunContext& context, const std::string& errorText) {
    PromptStateHost* prompt = context.environment().prompt;
    if (prompt) prompt->EnterPromptState(true);
    context.ShowError(errorText);
    if (prompt) prompt->LeavePromptState();
    EndRunOrPassOver(context, kMediaErrorOrigin);
}

}  // namespace kaviro::script
