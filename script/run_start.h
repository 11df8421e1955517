#pragma once
// Steps of the run start that touch the machine: the single-instance guard,
// the patch-mode data and the removal of the resume entry. Each takes its
// platform work from the run's lifecycle host; without one the guard lets
// every run go on and nothing is removed.

#include <string>
#include <string_view>

namespace kaviro::script {

class RunContext;

// With the build setting #SINGLEINSTANCE# "TRUE": false when the marker
// TEMP + revision code + ".oru" exists (a second copy of the same build is
// running: the run stops without a word); otherwise the marker is created and
// remembered for the release at the end of the run.
[[nodiscard]] bool ApplySingleInstanceGuard(RunContext& context);

// The name of the resume entry "Reboot and Resume" writes: the eight
// characters after the product code's opening brace; empty when the code has
// no brace followed by eight characters.
std::string ResumeEntryName(std::string_view productCode);

// Deletes this product's resume entry (current user, then machine), so a
// resumed setup does not start again after the next restart.
void RemoveResumeEntry(RunContext& context);

// The engine cache folder at the start (the bootstrap's part): from
// OVERRIDECACHE, the product's registration or the application data folder,
// with the all-users root for an administrator; ENGINECACHE and UNINSTALLLINK
// follow it.
void StartEngineCache(RunContext& context);

// Before every statement: a changed non-empty OVERRIDECACHE moves the engine
// cache; ENGINECACHE and UNINSTALLLINK are defined again from it.
void RefreshEngineCache(RunContext& context, const std::string& overrideCache, bool overrideChanged);

// Patch mode (the patch file lies beside the installer database): the
// installed product's data is loaded through the run's patch data loader.
void LoadPatchModeData(RunContext& context);

}  // namespace kaviro::script
