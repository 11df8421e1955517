// Until the script interpreter joins the engine, the hand-over runs the outer
// frame of a run: it writes the interpreter's stage markers, checks for the
// installer database as the run start does, and ends without running
// statements. CallInterpreter is the one place that changes when it joins.

#include "engine/interpreter_call.h"

#include <fstream>

#include "engine/trace.h"

namespace kaviro {
namespace {

bool Exists(const std::string& path) {
    return static_cast<bool>(std::ifstream(path, std::ios::binary));
}

std::string PatchPathBeside(const std::string& databasePath) {
    const std::size_t dot = databasePath.find_last_of('.');
    const std::size_t separator = databasePath.find_last_of("\\/");
    const bool hasExtension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
    return (hasExtension ? databasePath.substr(0, dot) : databasePath) + ".msp";
}

}  // namespace

void CallInterpreter(const Script& /*script*/, const std::string& databasePath) {
    WriteTrace("    <Variables>");
    WriteTrace("    </Variables>");
    WriteTrace("    <CompileScript>");
    WriteTrace("    </CompileScript>");
    WriteTrace("    <BootStrap>");
    WriteTrace("    </BootStrap>");
    if (!Exists(databasePath) && !Exists(PatchPathBeside(databasePath)))
        return;
    WriteTrace("    <velk>");
    WriteTrace("    </velk>");
    WriteTrace("    <ExitScript>");
    WriteTrace("    </ExitScript>");
}

}  // namespace kaviro
