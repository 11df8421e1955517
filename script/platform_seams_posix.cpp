#include "script/platform_seams.h"

namespace kaviro::script {

PlatformSeams MakePlatformSeams(std::function<std::string()> /*caption*/) {
    return {};
}

void GatherPlatformFacts(RunFacts& /*facts*/) {}

CacheRootFacts GatherCacheRootFacts(const std::string& /*productCode*/) {
    return {};
}

}  // namespace kaviro::script
