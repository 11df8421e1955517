#include "script/engine_cache.h"

#include "engine/text_util.h"

namespace kaviro::script {

namespace {

std::string WithBackslash(std::string_view text) {
    std::string result(text);
    if (!result.empty() && result.back() != '\\') result += '\\';
    return result;
}

// The folder a registered cache folder lies in, when its last name is this
// revision; empty otherwise.
std::string RegisteredRoot(std::string_view registered, std::string_view revisionCode) {
    std::string_view folder = registered;
    while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
    const std::size_t separator = folder.find_last_of('\\');
    if (folder.empty() || separator == std::string_view::npos) return {};
    if (!EqualsIgnoreCase(folder.substr(separator + 1), revisionCode)) return {};
    return std::string(folder.substr(0, separator + 1));
}

// The folder above a folder, with a trailing backslash.
std::string ParentFolder(std::string_view folder) {
    while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
    const std::size_t separator = folder.find_last_of('\\');
    return separator == std::string_view::npos ? std::string() : std::string(folder.substr(0, separator + 1));
}

}  // namespace

std::string CacheRoot(std::string_view overrideCache, const CacheRootFacts& facts, std::string_view revisionCode,
                      bool allUsers) {
    if (!overrideCache.empty()) return WithBackslash(overrideCache);
    if (std::string root = RegisteredRoot(facts.identCacheValue, revisionCode); !root.empty()) return root;
    if (allUsers && !facts.commonAppDataFolder.empty()) return WithBackslash(facts.commonAppDataFolder);
    if (!allUsers && !facts.localAppDataFolder.empty()) return WithBackslash(facts.localAppDataFolder);
    if (!allUsers && !facts.roamingAppDataFolder.empty()) return WithBackslash(facts.roamingAppDataFolder);
    const std::string aboveDesktop = ParentFolder(facts.desktopFolder);
    return aboveDesktop.empty() ? std::string() : aboveDesktop + "Application Data\\";
}

std::string CacheFolder(std::string_view overrideCache, const CacheRootFacts& facts, std::string_view revisionCode,
                        bool allUsers) {
    const std::string root = CacheRoot(overrideCache, facts, revisionCode, allUsers);
    if (root.empty()) return {};
    return root + std::string(revisionCode) + "\\";
}

}  // namespace kaviro::script
