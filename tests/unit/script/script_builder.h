#pragma once
// Builds small scripts in memory for the interpreter and validation tests.

#include <cstdio>
#include <string>
#include <vector>

#include "engine/package_format.h"

namespace kaviro::script::testing {

class ScriptBuilder {
public:
    ScriptBuilder& Add(std::string name, std::vector<std::string> parameters = {}, bool disabled = false) {
        char id[64];
        std::snprintf(id, sizeof id, "{00000000-0000-0000-0000-%012zu}", script_.statementNames.size() + 1);
        script_.statementNames.push_back(std::move(name));
        script_.statementIds.emplace_back(id);
        script_.statementFlags.emplace_back(disabled ? "C" : "");
        script_.statementMediaFolders.emplace_back();
        script_.sourceMap.push_back("C:\\Projects\\Sample.oru*" + std::to_string(script_.statementNames.size() + 9));
        if (!parameters.empty()) {
            script_.parameters.emplace_back(id);
            for (auto& parameter : parameters) script_.parameters.push_back(std::move(parameter));
        }
        return *this;
    }
    // Shorthands for the statements tests use most.
    ScriptBuilder& Set(std::string name, std::string value) { return Add("Set Variable", {std::move(name), std::move(value)}); }
    // Appends text to the variable LOG, so tests can see which statements ran.
    ScriptBuilder& Mark(const std::string& text) { return Set("LOG", "$LOG$" + text); }
    ScriptBuilder& If(std::string variable, std::string code, std::string operand, std::string negation = "FALSE") {
        return Add("If", {std::move(variable), std::move(code), std::move(operand), std::move(negation)});
    }
    ScriptBuilder& ElseIf(std::string variable, std::string code, std::string operand) {
        return Add("Else If", {std::move(variable), std::move(code), std::move(operand), "FALSE"});
    }
    ScriptBuilder& PluginNames(std::vector<std::string> names) {
        script_.pluginCommandNames = std::move(names);
        return *this;
    }

    Script Build() {
        Script script = script_;
        script.title = "Sample";
        script.RebuildParameterIndex();
        return script;
    }

private:
    Script script_;
};

}  // namespace kaviro::script::testing
