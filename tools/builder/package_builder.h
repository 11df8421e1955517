#pragma once
// Turns parsed project sources into the script package's contents: statement
// ids, flags, media folders, parameters, command header codes, the source
// map and the settings' fields.

#include <string>
#include <string_view>
#include <vector>

#include "engine/package_format.h"
#include "tools/builder/project_settings.h"
#include "tools/builder/script_source.h"

namespace kaviro::builder {

// The statements that get a command header code (they create installer components).
[[nodiscard]] bool IsHeaderCommand(std::string_view statementName);

// The component name the authoring side writes first in the component section.
inline constexpr std::string_view kPredefinedComponent = "VELK-PREDEF-COMPONENT";

struct PackageSources {
    const ProjectSettings& settings;
    const std::vector<SourceStatement>& statements;
    std::string scriptPath;    // full path, as the source map carries it
    std::string revisionCode;  // brace-enclosed GUID
};

// Raises BuildError naming the script file and line for a statement id that
// is given twice.
[[nodiscard]] Script BuildScript(const PackageSources& sources);

}  // namespace kaviro::builder
