#include "script/string_commands.h"

#include <algorithm>

#include "engine/engine_error.h"
#include "engine/text_util.h"
#include "script/expression.h"
#include "script/math_command.h"
#include "script/path_text.h"
#include "script/run_context.h"
#include "script/validation.h"
#include "script/variable_text.h"

namespace kaviro::script {

namespace {

int32_t RequireInteger(const std::string& text, const char* what) {
    const auto value = ParseInt32(text);
    if (!value) throw EngineError("'" + text + "' is not a valid integer value (" + what + ")");
    return *value;
}

// Position (0-based) of needle in text, first or last occurrence; npos when absent or empty.
std::size_t Occurrence(const std::string& text, const std::string& needle, bool last) {
    if (needle.empty()) return std::string::npos;
    return last ? text.rfind(needle) : text.find(needle);
}

std::string ReplaceText(const std::string& value, const std::string& find, const std::string& replacement,
                        bool ignoreCase, bool all) {
    std::string result;
    std::size_t from = 0;
    for (;;) {
        const std::size_t found = ignoreCase ? FindIgnoreCase(value, find, from) : value.find(find, from);
        if (found == std::string::npos) break;
        result.append(value, from, found - from);
        result += replacement;
        from = found + find.size();
        if (!all) break;
    }
    result.append(value, from, std::string::npos);
    return result;
}

}  // namespace

void SetVariableCommand(RunContext& context, std::size_t index) {
    constexpr std::string_view origin = "Set Variable Action";
    TVariableManager& variables = context.variables();
    const std::string value = variables.Expand(context.TranslatedParameter(index, 2, 1));
    std::string target = context.Parameter(index, 1);
    bool saving = false;
    const std::size_t marker = target.find(kSavingMarker);
    if (marker != std::string::npos) {
        saving = target.substr(marker + kSavingMarker.size()) == "TRUE";
        target.resize(marker);
    }
    const std::string name = UpperCase(NameFromReference(target));
    if (name.empty()) return;
    context.WriteResult(name, value, origin);
    if (saving) {
        bool listed = false;
        for (const std::string& saved : context.savedVariables) listed = listed || EqualsIgnoreCase(saved, name);
        if (!listed) context.savedVariables.push_back(name);
    }
    if (name == "ABORT") variables.AssignVariable(kIsCancelled, value, "Set Variable Tricke");
    if (name == "PROGRESS" || name == "PROGRESSTEXT") {
        DialogHost* dialogs = context.environment().dialogs;
        if (dialogs && dialogs->DialogOnScreen()) {
            dialogs->PushProgress(variables.Get("PROGRESSTEXT"), ParseInt32(variables.Get("PROGRESS")).value_or(0));
        }
    }
}

void ParseStringCommand(RunContext& context, std::size_t index) {
    constexpr std::string_view origin = "Parse String Action";
    const std::string source = context.NormalizedParameter(index, 1);
    const std::string delimiter = context.NormalizedParameter(index, 2);
    const std::string leftName = context.Parameter(index, 3);
    const std::string rightName = context.Parameter(index, 4);
    context.CreateResultVariable(leftName);
    context.CreateResultVariable(rightName);
    const int32_t mode = RequireInteger(context.ExpandedParameter(index, 5), "Parse String mode");
    const bool trim = TextToBool(context.ExpandedParameter(index, 6));
    const bool ignoreCase = TextToBool(context.ExpandedParameter(index, 7));
    const std::string searched = ignoreCase ? LowerCase(source) : source;
    const std::string needle = ignoreCase ? LowerCase(delimiter) : delimiter;

    // 1-based split position p, the left part stops c characters short of
    // it, the right part starts k characters after it.
    const auto length = static_cast<int64_t>(source.size());
    int64_t p = 0;
    int64_t c = 1;
    int64_t k = 1;
    if (mode == 0 || mode == 1) {
        k = static_cast<int64_t>(delimiter.size());
        const std::size_t found = Occurrence(searched, needle, mode == 1);
        if (found != std::string::npos) {
            p = static_cast<int64_t>(found) + 1;
        } else if (mode == 0) {
            p = length + 1;
        } else {
            p = 1;
            k = 0;
        }
    } else if (mode == 2 || mode == 3) {
        c = 0;
        const auto count = ParseInt32(delimiter);
        if (count) {
            p = mode == 2 ? *count : length - *count;
            if (mode == 2 && *count == 0) {
                p = 1;
                c = 1;
                k = -1;
            }
        }
    }
    std::string left;
    std::string right;
    if (p != 0) {
        const int64_t leftCount = std::max<int64_t>(0, std::min<int64_t>(p - c, length));
        left = source.substr(0, static_cast<std::size_t>(leftCount));
        const int64_t start = std::max<int64_t>(1, p + k);
        if (start <= length) right = source.substr(static_cast<std::size_t>(start - 1));
    }
    if (trim) {
        left = TrimBlanks(left);
        right = TrimBlanks(right);
    }
    context.WriteResult(leftName, left, origin);
    context.WriteResult(rightName, right, origin);
}

void ReplaceStringCommand(RunContext& context, std::size_t index) {
    TVariableManager& variables = context.variables();
    const std::string name = NameFromReference(context.Parameter(index, 1));
    const std::string value = CrlfToNewline(variables.Get(name));
    const std::string find = CrlfToNewline(context.ExpandedParameter(index, 2));
    const std::string replacement = CrlfToNewline(context.ExpandedParameter(index, 3));
    const bool ignoreCase = TextToBool(context.ExpandedParameter(index, 4));
    const bool all = TextToBool(context.ExpandedParameter(index, 5));
    if (value.empty() || find.empty() || find.size() > value.size()) return;
    variables.AssignVariable(name, ReplaceText(value, find, replacement, ignoreCase, all), "Replace String Action");
}

void ConvertCaseCommand(RunContext& context, std::size_t index) {
    TVariableManager& variables = context.variables();
    const std::string name = NameFromReference(context.Parameter(index, 1));
    const std::string value = NormalizeBackslashes(variables.Expand(variables.Get(name)));
    const bool upper = TextToBool(context.ExpandedParameter(index, 2));
    variables.AssignVariable(name, upper ? UpperCase(value) : LowerCase(value), "Convert Case Action");
}

void ExtractPathCommand(RunContext& context, std::size_t index) {
    TVariableManager& variables = context.variables();
    const std::string name = NameFromReference(context.Parameter(index, 1));
    const std::string value = NormalizeBackslashes(variables.Expand(variables.Get(name)));
    const int32_t code = RequireInteger(context.ExpandedParameter(index, 2), "Extract Path part");
    variables.AssignVariable(name, ExtractPathPart(value, code), "Extract Path Action");
}

void MathematicsCommand(RunContext& context, std::size_t index) {
    const std::string a = context.ExpandedParameter(index, 1);
    const std::string b = context.ExpandedParameter(index, 2);
    const std::string code = context.ExpandedParameter(index, 3);
    const auto result = Calculate(a, b, code, ProcessRandomGenerator());
    context.WriteResult(context.Parameter(index, 4), result.value_or(std::string()), "Mathematics Action");
}

void EvaluateExpressionCommand(RunContext& context, std::size_t index) {
    const std::string resultName = context.Parameter(index, 2);
    context.CreateResultVariable(resultName);
    const std::string expression = context.variables().ExpandQuoted(context.Parameter(index, 1));
    context.WriteResult(resultName, EvaluateExpression(expression), "Evaluate Expression Action");
}

}  // namespace kaviro::script
