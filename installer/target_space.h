#pragma once
// Free space figures of the feature dialogs. The probe returns the free
// bytes of the drive that holds a folder; the Windows build asks the
// platform, tests supply their own.

#include <cstdint>
#include <functional>
#include <string>

#include "installer/component_model.h"
#include "installer/setup_data_variables.h"

namespace kaviro::installer {

using FreeBytesProbe = std::function<int64_t(const std::string& folder)>;

// Free bytes on the drive of the folder in TARGETDIR, or -1 when TARGETDIR is empty.
[[nodiscard]] int64_t FreeSpaceOnTarget(const SetupDataVariables& variables, const FreeBytesProbe& probe);
// FreeSpaceOnTarget minus SelectedSize.
[[nodiscard]] int64_t FreeSpaceAfterInstall(const ComponentModel& model, const SetupDataVariables& variables,
                                            const FreeBytesProbe& probe);

}  // namespace kaviro::installer
