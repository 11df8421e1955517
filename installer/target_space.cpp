#include "installer/target_space.h"

#include "engine/engine_error.h"

namespace kaviro::installer {

int64_t FreeSpaceOnTarget(const SetupDataVariables& variables, const FreeBytesProbe& probe) {
    const std::string target = variables.Get("TARGETDIR");
    if (target.empty())
        return -1;
    return probe(target);
}

int64_t FreeSpaceAfterInstall(const ComponentModel& model, const SetupDataVariables& variables,
                              const FreeBytesProbe& probe) {
    int64_t result = 0;
    if (__builtin_sub_overflow(FreeSpaceOnTarget(variables, probe), model.SelectedSize(), &result)) {
        throw EngineError("The free space after installation does not fit in a 64-bit integer");
    }
    return result;
}

}  // namespace kaviro::installer
