#pragma once
// The platform's implementations of the run seams that need the operating
// system: message boxes, the message pump, the clock and the facts behind
// the predefined variables. The native build has none of them (a run
// behaves as a silent run without a clock).

#include <functional>
#include <memory>
#include <string>

#include "script/predefined_variables.h"
#include "script/run_environment.h"

namespace kaviro::script {

struct PlatformSeams {
    std::unique_ptr<ReportHost> report;
    std::unique_ptr<MessagePump> pump;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<RunLifecycleHost> lifecycle;
};

// caption gives the caption of the engine's message boxes at the moment one is shown.
PlatformSeams MakePlatformSeams(std::function<std::string()> caption);

// Fills the machine's part of the facts: registered owner and organization,
// the program files folder, whether the process runs as an administrator.
void GatherPlatformFacts(RunFacts& facts);

// Where the engine cache of the product may lie: its Ident.Cache
// registration (machine first, then user) and the application data folders.
CacheRootFacts GatherCacheRootFacts(const std::string& productCode);

}  // namespace kaviro::script
