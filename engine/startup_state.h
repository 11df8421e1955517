#pragma once
// The start-up state: set once while the engine starts, read by the later
// stages of the run (the predefined variables expose most of it).

#include <cstdint>
#include <string>

#include "engine/command_line.h"

namespace kaviro {

struct StartupState {
    std::string executablePath;   // full path of the running executable
    std::string setupFolder;      // its folder, trailing backslash
    std::string setupBaseName;    // its file name without extension
    std::string temporaryFolder;  // trailing backslash, created if missing
    std::string supportFolder;    // TEMP + "oru" + n + "\", once created
    std::string dataFolder;       // setup folder + "data\"
    std::string supportResourcePath;
    CommandLineOptions commandLine;
    int32_t exitCode = 0;  // the process exit code
    // The setup media was removed during the run: the end traces the eject.
    bool setupMediaRemoved = false;
};

// The process-wide start-up state.
StartupState& Startup();

}  // namespace kaviro
