#include "script/run_start.h"

#include "engine/package_lookup.h"
#include "script/predefined_variables.h"
#include "script/run_context.h"

namespace kaviro::script {

namespace {

constexpr std::size_t kResumeEntryNameLength = 8;

}  // namespace

bool ApplySingleInstanceGuard(RunContext& context) {
    const Script& script = context.script();
    const std::string setting = ExpandBuildSettings(
        script, "#SINGLEINSTANCE#", [&context](const std::string& text) { context.Trace(text); });
    if (setting != "TRUE") return true;
    RunLifecycleHost* host = context.environment().lifecycle;
    if (!host) return true;
    // The Initialization variables are not defined yet: the marker lies in the
    // temporary folder start-up found, named after this build's revision.
    const std::string marker = WithTrailingBackslash(context.environment().run.facts.temporaryFolder) +
                               context.variables().Get("REVISIONCODE") + ".oru";
    if (host->FileExists(marker)) return false;
    // A marker that cannot be made leaves the run unguarded rather than
    // stopping a setup that nothing else is running against.
    if (host->CreateEmptyFile(marker)) context.singleInstanceMarker = marker;
    return true;
}

std::string ResumeEntryName(std::string_view productCode) {
    const std::size_t brace = productCode.find('{');
    if (brace == std::string_view::npos || productCode.size() - brace - 1 < kResumeEntryNameLength) return {};
    return std::string(productCode.substr(brace + 1, kResumeEntryNameLength));
}

void RemoveResumeEntry(RunContext& context) {
    RunLifecycleHost* host = context.environment().lifecycle;
    if (!host) return;
    // An empty name would address the RunOnce key's default value, which
    // belongs to no setup: nothing is deleted then.
    const std::string name = ResumeEntryName(context.variables().Get("PRODUCTCODE"));
    if (!name.empty()) host->DeleteResumeEntry(name);
}

namespace {

std::string CurrentCacheFolder(RunContext& context, std::string_view overrideCache) {
    const RunFacts& facts = context.environment().run.facts;
    return CacheFolder(overrideCache, facts.cacheRoot, context.variables().Get("REVISIONCODE"), facts.allUsers);
}

void MoveEngineCache(RunContext& context, std::string_view overrideCache) {
    context.engineCacheFolder = CurrentCacheFolder(context, overrideCache);
    context.uninstallLink = UninstallLink(context.engineCacheFolder, context.environment().run.facts);
}

}  // namespace

void StartEngineCache(RunContext& context) {
    MoveEngineCache(context, context.variables().Get("OVERRIDECACHE"));
    DefineEngineCacheVariables(context.variables(), context.engineCacheFolder, context.uninstallLink, "Bootstrap");
}

void RefreshEngineCache(RunContext& context, const std::string& overrideCache, bool overrideChanged) {
    if (overrideChanged && !overrideCache.empty()) MoveEngineCache(context, overrideCache);
    DefineEngineCacheVariables(context.variables(), context.engineCacheFolder, context.uninstallLink,
                               "Initialization");
}

void LoadPatchModeData(RunContext& context) {
    RunEnvironment& environment = context.environment();
    if (environment.run.patchMode && environment.patch) environment.patch->LoadInstalledProductData(context);
}

}  // namespace kaviro::script
