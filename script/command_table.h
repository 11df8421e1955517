#pragma once
// Statement name to command handler. Names compare exactly (case-sensitive).
// Each subsystem registers its commands; a name without a handler is a no-op.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kaviro::script {

class RunContext;

// A handler runs the statement at the given index of the script; it reads
// its parameters afresh through the context each time it runs. Failures
// escape as exceptions (the interpreter reports them as fatal).
using CommandHandler = std::function<void(RunContext& context, std::size_t statementIndex)>;

class CommandTable {
public:
    // Replaces an earlier handler of the same name.
    void Register(std::string name, CommandHandler handler);
    [[nodiscard]] const CommandHandler* Find(std::string_view name) const;
    [[nodiscard]] std::size_t Size() const { return handlers_.size(); }

    // Work for the release at the end of a run: commands that keep something
    // open between statements (a file being read) close it here.
    void AddReleaseAction(std::function<void()> action);
    void Release() const;

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_map<std::string, CommandHandler, Hash, std::equal_to<>> handlers_;
    std::vector<std::function<void()>> releaseActions_;
};

// The commands of this subsystem: strings, paths, arithmetic, expressions.
void RegisterScriptCommands(CommandTable& table);

}  // namespace kaviro::script
