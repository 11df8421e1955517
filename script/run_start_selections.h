#pragma once
// Two run-start steps that hand over to other subsystems through the run's
// seams: the always-present component of the component model, and the
// choice of the run's language.

#include "script/run_context.h"

namespace kaviro::script {

// Defines "VELK-PREDEF-COMPONENT" as selected (nothing without a component model).
void DefineAlwaysPresentComponent(RunContext& context);

// Empties LANGUAGE, lets the language selector choose (possibly asking the
// user) and defines LANGUAGE. False when the user cancelled the choice.
// Without a selector the run is untranslated: LANGUAGE stays empty.
[[nodiscard]] bool ChooseRunLanguage(RunContext& context);

}  // namespace kaviro::script
