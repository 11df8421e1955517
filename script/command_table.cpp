#include "script/command_table.h"

namespace kaviro::script {

void CommandTable::Register(std::string name, CommandHandler handler) {
    handlers_.insert_or_assign(std::move(name), std::move(handler));
}

const CommandHandler* CommandTable::Find(std::string_view name) const {
    const auto found = handlers_.find(name);
    return found == handlers_.end() ? nullptr : &found->second;
}

void CommandTable::AddReleaseAction(std::function<void()> action) {
    releaseActions_.push_back(std::move(action));
}

void CommandTable::Release() const {
    for (const auto& action : releaseActions_) action();
}

}  // namespace kaviro::script
