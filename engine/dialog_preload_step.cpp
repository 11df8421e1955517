#include "engine/dialog_preload_step.h"

#include "engine/package_lookup.h"
#include "ui/dialog_preload.h"

namespace kaviro {
namespace {

constexpr std::string_view kDisplayDialog = "Display Dialog";

}  // namespace

std::vector<std::size_t> ActiveDialogStatements(const Script& script) {
    std::vector<std::size_t> indexes;
    for (std::size_t i = 0; i < script.statementNames.size(); ++i) {
        const bool disabled = i < script.statementFlags.size() && script.statementFlags[i] == "C";
        if (script.statementNames[i] == kDisplayDialog && !disabled)
            indexes.push_back(i);
    }
    return indexes;
}

void PreloadStartupDialogs(const Script& script, const std::string& supportFolder,
                           const std::function<void()>& afterEach) {
    ui::InitDialogHost(supportFolder);
    for (const std::size_t index : ActiveDialogStatements(script)) {
        const std::string id =
            index < script.statementIds.size() ? script.statementIds[index] : std::string();
        ui::PreloadDialog(std::to_string(index),
                          ui::DialogFilePath(supportFolder, GetParameter(script, id, 1)));
        if (afterEach)
            afterEach();
    }
}

}  // namespace kaviro
