#include "ui/component_tree.h"

namespace kaviro::ui {

// Written out rather than defaulted out of line, which some clang versions
// cannot compile for this recursive type.
bool PropertyValue::operator==(const PropertyValue& other) const {
    return type == other.type && integer == other.integer &&
           (real == other.real || (real != real && other.real != other.real)) && extended == other.extended &&
           text == other.text && wide == other.wide && setElements == other.setElements &&
           list == other.list && items == other.items;
}

}  // namespace kaviro::ui
