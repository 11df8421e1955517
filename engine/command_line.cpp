#include "engine/command_line.h"

#include <initializer_list>

#include "engine/text_util.h"

namespace kaviro {
namespace {

bool IsSwitch(std::string_view argument, std::initializer_list<std::string_view> names) {
    if (argument.empty() || (argument.front() != '/' && argument.front() != '-'))
        return false;
    argument.remove_prefix(1);
    for (const std::string_view name : names) {
        if (EqualsIgnoreCase(argument, name))
            return true;
    }
    return false;
}

// The value of the first argument whose lower-cased text holds one of the switch texts.
std::string ValueSwitch(const std::vector<std::string>& lowered,
                        std::initializer_list<std::string_view> texts) {
    for (const std::string& argument : lowered) {
        for (const std::string_view text : texts) {
            if (argument.find(text) != std::string::npos)
                return argument.substr(3);
        }
    }
    return {};
}

}  // namespace

CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments,
                                    std::string_view rawCommandLine) {
    CommandLineOptions options;
    std::vector<std::string> lowered;
    lowered.reserve(arguments.size());
    for (const std::string& argument : arguments) {
        if (IsSwitch(argument, {"s", "qn"}))
            options.silent = true;
        if (IsSwitch(argument, {"update", "updatesetup"}))
            options.updating = true;
        lowered.push_back(LowerCase(argument));
        const std::size_t equals = argument.find('=');
        if (!argument.empty() && argument.front() != '/' && argument.front() != '-' &&
            equals != std::string::npos) {
            options.overrides.push_back(UpperCase(argument.substr(0, equals)));
            options.overrides.push_back(argument.substr(equals + 1));
        }
    }
    options.tracePath = ValueSwitch(lowered, {"/l=", "-l="});
    options.mediaPath = ValueSwitch(lowered, {"/p=", "-p="});
    options.policyPath = ValueSwitch(lowered, {"/g="});
    options.wrapperPath = ValueSwitch(lowered, {"/m="});
    options.argumentText = ArgumentText(rawCommandLine);
    return options;
}

std::string ArgumentText(std::string_view rawCommandLine) {
    if (!rawCommandLine.empty() && rawCommandLine.front() == '"') {
        const std::size_t closing = rawCommandLine.find('"', 1);
        if (closing == std::string_view::npos || closing + 2 > rawCommandLine.size())
            return {};
        return std::string(rawCommandLine.substr(closing + 2));
    }
    const std::size_t blank = rawCommandLine.find(' ');
    if (blank == std::string_view::npos)
        return {};
    return std::string(rawCommandLine.substr(blank + 1));
}

}  // namespace kaviro
