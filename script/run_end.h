#pragma once
// The release at the end of a run and the check for removed setup media.

#include <string>
#include <string_view>

namespace kaviro::script {

class CommandTable;
class RunContext;

// Deletes the single-instance marker this run created and lets the commands
// close what they keep open between statements (files being read).
void ReleaseRun(RunContext& context, const CommandTable& commands);

// The setup folder lay on a drive that is not a fixed disk and is gone: the
// setup media was removed during the run.
[[nodiscard]] bool SetupMediaRemoved(RunContext& context);

// The root of the drive a folder lies on: "X:\" for a drive path, the share
// "\\server\share\" for a network path; empty for anything else.
std::string DriveRootOf(std::string_view folder);

}  // namespace kaviro::script
