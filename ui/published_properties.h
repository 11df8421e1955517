#pragma once
// Published properties that a registered class has even when a dialog file
// does not store them (the form library leaves properties at their default
// out of the stream): the values rules read for them, and the type a write
// must take.

#include <optional>
#include <string_view>

#include "ui/component_tree.h"

namespace kaviro::ui {

// The default value of a published property of the class, or nullopt when
// the class does not declare it here. Names ignore case.
[[nodiscard]] std::optional<PropertyValue> PublishedPropertyDefault(std::string_view className,
                                                                    std::string_view property);

}  // namespace kaviro::ui
