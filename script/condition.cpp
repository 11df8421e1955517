#include "script/condition.h"

#include <array>
#include <optional>

#include "engine/engine_error.h"
#include "engine/text_util.h"
#include "script/variable_text.h"

namespace kaviro::script {

namespace {

std::array<int32_t, 4> VersionComponents(std::string_view version) {
    std::array<int32_t, 4> components{};
    std::string_view rest = version;
    bool remaining = !rest.empty();
    for (auto& component : components) {
        if (!remaining) break;
        const std::size_t dot = rest.find('.');
        if (dot == std::string_view::npos) {
            component = ParseInt32(rest).value_or(0);
            remaining = false;
            continue;
        }
        const auto number = ParseInt32(rest.substr(0, dot));
        if (!number) {
            throw EngineError("'" + std::string(rest.substr(0, dot)) + "' is not a valid integer value in version '" +
                              std::string(version) + "'");
        }
        component = *number;
        rest.remove_prefix(dot + 1);
        remaining = !rest.empty();
    }
    return components;
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace

bool CompareVersions(std::string_view a, std::string_view b) {
    const auto left = VersionComponents(a);
    const auto right = VersionComponents(b);
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (left[i] != right[i]) return left[i] > right[i];
    }
    return false;
}

bool EvaluateCondition(const TVariableManager& variables, const ConditionParameters& condition) {
    bool result = false;
    const std::string& code = condition.code;
    if (code == "5") {
        // The existence test uses the name as written; a reference form is not stripped.
        result = variables.Exists(condition.variable);
    } else {
        const std::string name = NameFromReference(condition.variable);
        const std::string value = variables.Expand(variables.Get(name));
        const std::string operand = variables.Expand(condition.operand);
        if (code == "6") {
            result = CompareVersions(value, operand);
        } else {
            const auto valueNumber = ParseInt32(value);
            const auto operandNumber = ParseInt32(operand);
            const bool numeric = valueNumber && operandNumber;
            if (code == "0") {
                result = numeric ? *valueNumber == *operandNumber : value == operand;
            } else if (code == "1") {
                result = numeric ? *valueNumber == *operandNumber : Contains(value, operand);
            } else if (code == "2") {
                result = numeric ? *valueNumber > *operandNumber : value.compare(operand) > 0;
            } else if (code == "3") {
                result = numeric ? *valueNumber == *operandNumber : FindIgnoreCase(value, operand) != std::string::npos;
            } else if (code == "4") {
                result = numeric ? *valueNumber == *operandNumber : EqualsIgnoreCase(value, operand);
            }
        }
    }
    return TextToBool(condition.negation) ? !result : result;
}

}  // namespace kaviro::script
