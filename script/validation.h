#pragma once
// The check of the whole script before a run: block balance, labels, jumps,
// expressions and the parameters commands cannot do without. On the way it
// declares the variables the script's commands will write (empty values,
// origin "Compilation") and builds the execution list of header commands.

#include <cstdint>

#include "engine/package_format.h"
#include "script/variable_manager.h"

namespace kaviro::script {

inline constexpr int64_t kScriptValid = -1;
inline constexpr std::string_view kSavingMarker = "$VELK$VELK$";

// The index of the first offending statement, or kScriptValid. A block
// balance failure reports the statement count (beyond every statement).
// Never raises on script content: a parameter the package lacks makes its
// statement the offending one.
int64_t ValidateScript(const Script& script, TVariableManager& variables, TextList& executionList);

// The names of result variables the validation declares for the table of
// predefined variables.
const TextList& ValidationDeclaredNames();

// True for the statement names whose work Apply Changes carries out.
bool IsHeaderCommand(std::string_view name);

}  // namespace kaviro::script
