#include "script/command_table.h"

namespace kaviro::script {

void CommandTable::Register(std::string name, CommandHandler handler) {
    handlers_.insert_or_assign(std::move(name), std::move(handler));
}

const CommandHandler* CommandTable::Find(std::string_view name) const {
    const auto found = handlers_.find(name);
    return found == handlers_.end() ? nullptr : &found->second;
}

}  // namespace kaviro::script
