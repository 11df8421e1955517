#include "ui/registered_classes.h"

#include <algorithm>

#include "ui/text_compare.h"

namespace kaviro::ui {

bool IsRegisteredClass(std::string_view className) {
    return std::any_of(kRegisteredClasses.begin(), kRegisteredClasses.end(),
                       [&](std::string_view known) { return SameName(known, className); });
}

}  // namespace kaviro::ui
