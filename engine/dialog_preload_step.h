#pragma once
// The dialog preload of start-up: every active "Display Dialog" statement's
// dialog file is read once, in script order, under the key of the statement
// index in decimal.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "engine/package_format.h"

namespace kaviro {

// Indexes of the "Display Dialog" statements that are not disabled, in order.
[[nodiscard]] std::vector<std::size_t> ActiveDialogStatements(const Script& script);

// Preloads them from the support folder; afterEach runs after every dialog
// (the start-up window advances its progress bar). Raises on a missing or
// damaged dialog or rules file.
void PreloadStartupDialogs(const Script& script, const std::string& supportFolder,
                           const std::function<void()>& afterEach);

}  // namespace kaviro
