#pragma once
// The Win32 lifecycle host of a run: marker files, the RunOnce resume entry
// and the drive type of the setup folder.

#include <memory>

#include "script/run_environment.h"

namespace kaviro::script {

std::unique_ptr<RunLifecycleHost> MakeRunLifecycleHost();

}  // namespace kaviro::script
