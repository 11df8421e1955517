#pragma once
// Handlers of the string, path-text and expression commands.

#include <cstddef>

namespace kaviro::script {

class RunContext;

void SetVariableCommand(RunContext& context, std::size_t index);
void ParseStringCommand(RunContext& context, std::size_t index);
void ReplaceStringCommand(RunContext& context, std::size_t index);
void ConvertCaseCommand(RunContext& context, std::size_t index);
void ExtractPathCommand(RunContext& context, std::size_t index);
void MathematicsCommand(RunContext& context, std::size_t index);
void EvaluateExpressionCommand(RunContext& context, std::size_t index);

}  // namespace kaviro::script
