#pragma once
// The builder's exception: what went wrong, and where in the project when a
// source file is to blame ("path:line: text", line 1-based).

#include <filesystem>
#include <stdexcept>
#include <string>

namespace kaviro::builder {

class BuildError : public std::runtime_error {
  public:
    explicit BuildError(const std::string& message) : std::runtime_error(message) {}
};

// "file:line: message" with a 1-based line number.
[[nodiscard]] BuildError ErrorAt(const std::string& file, std::size_t line, const std::string& message);

}  // namespace kaviro::builder
