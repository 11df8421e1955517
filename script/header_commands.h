#pragma once
// Installer properties handed over by header commands. A header command does
// its work through the installer package: it marks itself as run in the
// execution list and records "A" + header and its value properties, which
// "Apply Changes" later writes into the package's Property table.

#include <cstddef>
#include <string>
#include <string_view>

#include "script/variable_manager.h"

namespace kaviro::script {

class RunContext;

// Process-wide queue of properties waiting to be written into the installer
// package: two parallel lists, values stored with CRLF as "$NEWLINE$".
class PropertyQueue {
public:
    void Queue(std::string_view name, std::string_view value);
    const TextList& Names() const { return names_; }
    const TextList& Values() const { return values_; }
    bool Empty() const { return names_.empty(); }
    void Clear();

private:
    TextList names_;
    TextList values_;
};

// The queue of this process (filled on the main thread, drained by the installer worker).
PropertyQueue& InstallerPropertyQueue();

// CRLF becomes "$NEWLINE$", as property values are stored.
std::string PropertyText(std::string_view value);

// Queues the property and appends name and value to the run's property list.
void HandOverProperty(RunContext& context, std::string_view name, std::string_view value);

// The common steps of a header command: the strict header lookup (a missing
// header throws), the execution list line set to "TRUE", and "A" + header
// handed over as "TRUE". Returns the header for the command's value properties.
std::string BeginHeaderCommand(RunContext& context, std::size_t statementIndex);

// Run start: every statement with a command header hands over "A" + header as
// "FALSE", so only header commands that ran end up "TRUE".
void RunHeaderSweep(RunContext& context);

}  // namespace kaviro::script
