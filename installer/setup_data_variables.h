#pragma once
// What the component model needs of the variable store. The script core
// implements this over TVariableManager:
//   Get     -> GetVariable (empty text for a missing variable)
//   Exists  -> Exists
//   Define  -> DefineVariable (creates a missing variable, assigns an existing one)
//   Assign  -> AssignVariable, the protected assignment that keeps
//              command-line overrides in silent runs and records the origin.
// Keeping the model on this interface lets it be tested without the store.

#include <string>
#include <string_view>

namespace kaviro::installer {

class SetupDataVariables {
  public:
    virtual ~SetupDataVariables() = default;
    [[nodiscard]] virtual std::string Get(std::string_view name) const = 0;
    [[nodiscard]] virtual bool Exists(std::string_view name) const = 0;
    virtual void Define(std::string_view name, std::string_view value, std::string_view origin) = 0;
    virtual void Assign(std::string_view name, std::string_view value, std::string_view origin) = 0;
};

}  // namespace kaviro::installer
