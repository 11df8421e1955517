#include "script/run_context.h"

#include "engine/package_lookup.h"
#include "engine/text_util.h"
#include "script/variable_text.h"

namespace kaviro::script {

RunContext::RunContext(const Script& script, RunEnvironment& environment)
    : savedVariables(environment.savedVariables ? *environment.savedVariables : ownSavedVariables_),
      script_(script),
      environment_(environment),
      variables_(environment.variables ? *environment.variables : Variables()) {}

std::string_view RunContext::Id(std::size_t index) const {
    if (index >= script_.statementIds.size()) return {};
    return script_.statementIds[index];
}

bool RunContext::IsActive(std::size_t index) const {
    return index >= script_.statementFlags.size() || script_.statementFlags[index] != "C";
}

std::string RunContext::Parameter(std::size_t index, int k) const { return GetParameter(script_, Id(index), k); }

std::string RunContext::ExpandedParameter(std::size_t index, int k) const {
    return variables_.Expand(Parameter(index, k));
}

std::string RunContext::NormalizedParameter(std::size_t index, int k) const {
    return NormalizeBackslashes(ExpandedParameter(index, k));
}

std::string RunContext::TranslatedParameter(std::size_t index, int parameter, int k) const {
    std::string text = Parameter(index, parameter);
    if (TranslationActive()) return environment_.translator->TranslateParameter(Id(index), k, text);
    return text;
}

std::string RunContext::ExpandedTranslatedParameter(std::size_t index, int parameter, int k) const {
    return variables_.Expand(TranslatedParameter(index, parameter, k));
}

bool RunContext::TranslationActive() const {
    return environment_.translator && environment_.translator->Active();
}

void RunContext::CreateResultVariable(std::string_view nameText) {
    const std::string name = UpperCase(NameFromReference(nameText));
    if (name.empty() || variables_.Exists(name)) return;
    variables_.DefineVariable(name, "", "Compilation");
}

void RunContext::WriteResult(std::string_view nameText, std::string_view value, std::string_view origin) {
    const std::string name = UpperCase(NameFromReference(nameText));
    if (name.empty()) return;
    if (!variables_.Exists(name)) variables_.DefineVariable(name, "", origin);
    variables_.AssignVariable(name, value, origin);
}

void RunContext::Trace(std::string_view line) {
    if (environment_.trace) environment_.trace->Trace(line);
}

void RunContext::ShowError(const std::string& text) {
    if (Silent()) {
        Trace(text);
        return;
    }
    if (environment_.report) environment_.report->ShowError(text);
}

std::string NormalizeBackslashes(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    std::size_t i = 0;
    if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
        result = "\\\\";
        i = 2;
    }
    for (; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
    }
    return result;
}

}  // namespace kaviro::script
