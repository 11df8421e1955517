// Package loading, validation and, for scripts without jumps (whose runs
// always end), the run itself with silent defaults.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/engine_error.h"
#include "engine/package_reader.h"
#include "script/interpreter.h"
#include "script/validation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace kaviro;
    Script script;
    try {
        script = ParsePackage(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const EngineError&) {
        return 0;  // a malformed package is refused by the loader
    }
    script::TVariableManager store;
    script::RunEnvironment environment;
    environment.variables = &store;
    environment.run.silent = true;
    bool jumps = false;
    for (const auto& name : script.statementNames) jumps = jumps || name == "GoTo Label";
    if (jumps || script.statementNames.size() > 2000) {
        TextList executionList;
        (void)script::ValidateScript(script, store, executionList);
        return 0;
    }
    (void)script::RunScript(script, environment);
    return 0;
}
