#pragma once
// The error raised for a dialog file or text form that cannot be read.

#include <stdexcept>
#include <string>

namespace kaviro::ui {

// A malformed compiled dialog file or text form. what() carries the form
// library's wording where it has one ("Invalid stream format", "Class TFoo
// not found", "Stream read error") followed by where it happened.
class DialogFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace kaviro::ui
