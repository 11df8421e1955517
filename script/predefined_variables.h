#pragma once
// The predefined variables a run starts with: facts about the machine and
// the setup, the package's identity, interface and installer defaults and
// the engine switches. The facts that come from the platform are gathered by
// the caller (GatherRunFacts on Windows) and handed in as plain text.

#include <string>

#include "engine/package_format.h"
#include "script/engine_cache.h"
#include "script/path_text.h"
#include "script/variable_manager.h"

namespace kaviro::script {

struct RunFacts {
    std::string executablePath;         // EXEFILE
    std::string setupFolder;            // EXEDIR and ROOTDIR, trailing backslash
    std::string temporaryFolder;        // TEMPDIR, trailing backslash
    std::string supportFolder;          // SUPPORTDIR
    std::string installerDatabasePath;  // MSIFILE
    std::string tracePath;              // LOGGED
    std::string argumentText;           // CMDLINE
    std::string wrapperPath;            // /m= path: SFXPATH and SFXFILE
    std::string policyPath;             // /g= path: GPOPATH
    std::string userName;               // registered owner
    std::string userCompany;            // registered organization
    std::string programFilesFolder;     // trailing backslash; the default TARGETDIR is below it
    CacheRootFacts cacheRoot;           // where the engine cache may lie
    bool silent = false;
    bool allUsers = false;  // administrator (and elevated where that applies)
};

// Pre-Initialization: TARGETDIR, STARTMENU, ALLUSERS.
void DefinePreInitializationVariables(TVariableManager& variables, const Script& script,
                                      const RunFacts& facts);

// What the bootstrap knows without the engine cache: PRODUCTCODE, REVISIONCODE
// and the first-run TARGETDIR. The engine cache, maintenance and upgrade
// detection add to it later.
void DefineBootstrapVariables(TVariableManager& variables, const Script& script, const RunFacts& facts);

// UNINSTALLLINK of an engine cache folder: the folder + the setup
// executable's file name.
std::string UninstallLink(const std::string& engineCacheFolder, const RunFacts& facts);

// ENGINECACHE := the engine cache folder, UNINSTALLLINK := its link; only the
// values that differ are written.
void DefineEngineCacheVariables(TVariableManager& variables, const std::string& engineCacheFolder,
                                const std::string& uninstallLink, std::string_view origin);

// The Initialization phase, in table order from the three engine switches to MSIFILE.
void DefineInitializationVariables(TVariableManager& variables, const Script& script, const RunFacts& facts);

// Folder part (with trailing backslash) and file part of a path.
std::string FolderOfPath(const std::string& path);
std::string FileOfPath(const std::string& path);

}  // namespace kaviro::script
