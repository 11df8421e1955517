#pragma once
// The steps of the start-up sequence that touch the system, in the order the
// sequence runs them. run_setup_win32.cpp strings them together.

#include <string>

#include "engine/package_format.h"

namespace kaviro {

// Shell hints in the registry (Windows 7: "IsHostApp"; Vista: the
// compatibility assistant's "persisted" entry); failures are ignored.
void WriteShellRegistryHints(const std::string& executablePath);

// Binds the process to the first processor when the system offers the call.
void RestrictToFirstProcessor();

// Loads setupFolder + "oru.lib"; bytes appended beyond its image are the
// language file, copied to TEMP + "lang.loc", loaded as the engine message
// table and deleted. Raises when the library cannot be loaded.
void LoadArchiveLibraryLanguage(const std::string& setupFolder, const std::string& temporaryFolder);

// Whether the executable carries a package: its file size differs from its
// image's stub size.
[[nodiscard]] bool HasAppendedPackage(const std::string& executablePath);

// Copies the package to TEMP + "oru.tmp", loads it and deletes the copy.
[[nodiscard]] Script ExtractAndLoadPackage(const std::string& executablePath,
                                           const std::string& temporaryFolder);

// TEMP + "oru" + n + "\" for the first n whose folder did not exist, created.
[[nodiscard]] std::string CreateSupportFolder(const std::string& temporaryFolder);

// Deletes the folder's contents three times over, then the folder.
void RemoveSupportFolder(const std::string& supportFolder);

// Copies base + ".msi" and base + ".msp" from the setup folder into the
// support folder (overwriting, attributes normal); a missing one is skipped.
void CopySetupDatabases(const std::string& setupFolder, const std::string& baseName,
                        const std::string& supportFolder);

}  // namespace kaviro
