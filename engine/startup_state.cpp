#include "engine/startup_state.h"

namespace kaviro {

StartupState& Startup() {
    static StartupState state;
    return state;
}

}  // namespace kaviro
