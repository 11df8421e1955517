#include "script/command_table.h"
#include "script/string_commands.h"

namespace kaviro::script {

void RegisterScriptCommands(CommandTable& table) {
    table.Register("Set Variable", SetVariableCommand);
    table.Register("Parse String", ParseStringCommand);
    table.Register("Replace String", ReplaceStringCommand);
    table.Register("Convert Case", ConvertCaseCommand);
    table.Register("Extract Path", ExtractPathCommand);
    table.Register("Mathematics", MathematicsCommand);
    table.Register("Evaluate Expression", EvaluateExpressionCommand);
}

}  // namespace kaviro::script
