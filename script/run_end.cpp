#include "script/run_end.h"

#include "script/command_table.h"
#include "script/run_context.h"

namespace kaviro::script {

void ReleaseRun(RunContext& context, const CommandTable& commands) {
    RunLifecycleHost* host = context.environment().lifecycle;
    if (host && !context.singleInstanceMarker.empty()) host->RemoveFile(context.singleInstanceMarker);
    context.singleInstanceMarker.clear();
    commands.Release();
}

bool SetupMediaRemoved(RunContext& context) {
    RunLifecycleHost* host = context.environment().lifecycle;
    const std::string& setupFolder = context.environment().run.setupFolder;
    return host && !setupFolder.empty() && host->SetupMediaRemoved(setupFolder);
}

std::string DriveRootOf(std::string_view folder) {
    if (folder.size() >= 2 && folder[1] == ':' &&
        ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z'))) {
        return std::string(folder.substr(0, 2)) + "\\";
    }
    if (folder.size() < 3 || folder[0] != '\\' || folder[1] != '\\') return {};
    const std::size_t serverEnd = folder.find('\\', 2);
    if (serverEnd == std::string_view::npos || serverEnd == 2) return {};
    const std::size_t shareEnd = folder.find('\\', serverEnd + 1);
    const std::string_view share = folder.substr(0, shareEnd);
    if (share.size() == serverEnd + 1) return {};
    return std::string(share) + "\\";
}

}  // namespace kaviro::script
