#include "ui/component_tree.h"

namespace kaviro::ui {

// Defined here, where CollectionItem is complete.
bool PropertyValue::operator==(const PropertyValue&) const = default;

}  // namespace kaviro::ui
