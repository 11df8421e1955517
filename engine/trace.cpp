#include "engine/trace.h"

namespace kaviro {
namespace {

struct TraceState {
    std::string path;
    bool written = false;  // whether the process has written its first line
};

TraceState& State() {
    static TraceState state;
    return state;
}

}  // namespace

void WriteTrace(std::string_view line) {
    TraceState& state = State();
    if (state.path.empty())
        return;
    // A trace that cannot be written is skipped on purpose: tracing is a
    // diagnostic aid and must never end or alter a setup run.
    if (AppendTraceLine(state.path, line, !state.written))
        state.written = true;
}

void SetTracePath(std::string path) {
    State().path = std::move(path);
}

const std::string& TracePath() {
    return State().path;
}

}  // namespace kaviro
