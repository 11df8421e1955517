#include "engine/dialog_preload_step.h"

#include <array>
#include <fstream>

#include "engine/engine_error.h"
#include "engine/package_lookup.h"

namespace kaviro {
namespace {

constexpr std::string_view kDisplayDialog = "Display Dialog";

// Dialog file of a name in the support folder, and the rules file beside it.
std::string DialogFile(const std::string& supportFolder, const std::string& name) {
    std::string path = supportFolder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    return path + name + ".dfm";
}

// Checks that a compiled dialog file starts with its signature bytes and that
// its rules file can be read.
void PreloadDialogFile(const std::string& path) {
    std::ifstream dialog(path, std::ios::binary);
    if (!dialog) throw EngineError("Cannot open dialog file " + path);
    std::array<char, 2> signature{};
    dialog.read(signature.data(), signature.size());
    if (dialog.gcount() != 2 || static_cast<unsigned char>(signature[0]) != 0xFF || signature[1] != 0x0A) {
        throw EngineError("Invalid dialog file " + path);
    }
    const std::string rulesPath = path + ".oruf";
    if (!std::ifstream(rulesPath, std::ios::binary)) throw EngineError("Cannot open dialog rules file " + rulesPath);
}

}  // namespace

std::vector<std::size_t> ActiveDialogStatements(const Script& script) {
    std::vector<std::size_t> indexes;
    for (std::size_t i = 0; i < script.statementNames.size(); ++i) {
        const bool disabled = i < script.statementFlags.size() && script.statementFlags[i] == "C";
        if (script.statementNames[i] == kDisplayDialog && !disabled) indexes.push_back(i);
    }
    return indexes;
}

void PreloadStartupDialogs(const Script& script, const std::string& supportFolder,
                           const std::function<void()>& afterEach) {
    for (const std::size_t index : ActiveDialogStatements(script)) {
        const std::string id = index < script.statementIds.size() ? script.statementIds[index] : std::string();
        PreloadDialogFile(DialogFile(supportFolder, GetParameter(script, id, 1)));
        if (afterEach) afterEach();
    }
}

}  // namespace kaviro
