#pragma once
// The engine cache: the per-product folder that keeps a copy of the setup
// for maintenance, the downloaded media and the setup data file. Its root
// comes from OVERRIDECACHE, else from the product's Ident.Cache registration
// when that names this revision, else from the user's application data.

#include <string>
#include <string_view>

namespace kaviro::script {

// Folders the cache root may be taken from; each with or without a trailing
// backslash, empty when the platform has none.
struct CacheRootFacts {
    std::string identCacheValue;      // Ident.Cache default value of the product (machine first, then user)
    std::string commonAppDataFolder;  // all-users application data
    std::string localAppDataFolder;
    std::string roamingAppDataFolder;
    std::string desktopFolder;
};

// The cache root with a trailing backslash.
std::string CacheRoot(std::string_view overrideCache, const CacheRootFacts& facts, std::string_view revisionCode,
                      bool allUsers);

// Cache root + revision code + "\".
std::string CacheFolder(std::string_view overrideCache, const CacheRootFacts& facts, std::string_view revisionCode,
                        bool allUsers);

}  // namespace kaviro::script
