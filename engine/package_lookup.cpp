#include "engine/package_lookup.h"

#include "engine/engine_error.h"

namespace kaviro {

std::string GetParameter(const Script& script, std::string_view statementId, int k) {
    const auto found = script.parameterIndex.find(statementId);
    if (found == script.parameterIndex.end()) return {};
    const std::size_t position = found->second + static_cast<std::size_t>(k < 0 ? 0 : k);
    if (k < 0 || position >= script.parameters.size()) {
        throw EngineError("List index out of bounds (" + std::to_string(found->second + k) +
                          "): parameter " + std::to_string(k) + " of statement " + std::string(statementId));
    }
    return script.parameters[position];
}

std::string GetCommandHeader(const Script& script, std::size_t statementIndex, HeaderLookup mode) {
    const std::string index = std::to_string(statementIndex);
    const auto& headers = script.commandHeaders;
    for (std::size_t i = 0; i < headers.size(); ++i) {
        if (headers[i] == index) {
            if (i > 0) return headers[i - 1];
            break;
        }
    }
    if (mode == HeaderLookup::Strict) throw EngineError(std::string(kHeaderErrorText));
    return {};
}

std::string ExpandBuildSettings(const Script& script, std::string_view text, const TraceSink& trace) {
    std::string current(text);
    for (int pass = 0; pass < kMaxBuildSettingPasses; ++pass) {
        if (current.find('#') == std::string::npos) return current;
        std::string expanded = current;
        const auto& settings = script.buildSettings;
        for (std::size_t i = 0; i + 1 < settings.size() && expanded.size() <= kMaxBuildSettingText; i += 2) {
            expanded = ReplaceAllIgnoreCase(expanded, "#" + settings[i] + "#", settings[i + 1]);
        }
        if (expanded.size() > kMaxBuildSettingText) return current;
        if (expanded == current || expanded.find('#') == std::string::npos) return expanded;
        if (trace) trace(expanded);
        current = std::move(expanded);
    }
    return current;
}

SourcePositionInfo ParseSourcePosition(std::string_view line) {
    SourcePositionInfo info;
    const std::size_t star = line.find('*');
    if (star == std::string_view::npos) return info;
    std::string_view file = line.substr(0, star);
    const std::size_t folderEnd = file.find_last_of("\\/:");
    if (folderEnd != std::string_view::npos) file.remove_prefix(folderEnd + 1);
    const std::size_t dot = file.find_last_of('.');
    if (dot != std::string_view::npos) file = file.substr(0, dot);
    info.fileName = std::string(file);
    const auto number = ParseInt32(line.substr(star + 1));
    info.line = number && *number < INT32_MAX ? *number + 1 : 1;
    return info;
}

SourcePositionInfo SourcePosition(const Script& script, std::size_t statementIndex) {
    if (statementIndex >= script.sourceMap.size()) return {};
    return ParseSourcePosition(script.sourceMap[statementIndex]);
}

}  // namespace kaviro
