#pragma once
// The exception every engine layer raises for a failure. Its text says what
// was attempted, on what, and why; the interpreter and start-up show it as the
// error text of their reports.

#include <stdexcept>
#include <string>

namespace kaviro {

class EngineError : public std::runtime_error {
public:
    explicit EngineError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace kaviro
