// Windows name comparison: the platform's locale-aware comparison for the
// user's default locale, case ignored.

#include <windows.h>

#include <limits>

#include "installer/component_name.h"

namespace kaviro::installer {

bool ComponentNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()) ||
        b.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return false;
    if (a.empty() || b.empty())
        return a.empty() && b.empty();
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                          b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace kaviro::installer
