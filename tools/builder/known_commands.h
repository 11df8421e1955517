#pragma once
// The statement names the engine's dispatch knows. Any other name is a no-op
// at run time, so the builder warns about it: usually it is a typo.

#include <optional>
#include <string>
#include <string_view>

namespace kaviro::builder {

[[nodiscard]] bool IsKnownCommand(std::string_view statementName);

// The known name that equals statementName with case ignored, if any.
[[nodiscard]] std::optional<std::string> KnownCommandIgnoringCase(std::string_view statementName);

}  // namespace kaviro::builder
