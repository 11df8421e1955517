#include "script/predefined_variables.h"

#include <string_view>

#include "script/variable_text.h"

namespace kaviro::script {

namespace {

constexpr std::string_view kPreInitialization = "Pre-Initialization";
constexpr std::string_view kBootstrap = "Bootstrap";
constexpr std::string_view kInitialization = "Initialization";

}  // namespace

std::string FolderOfPath(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string FileOfPath(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

void DefinePreInitializationVariables(TVariableManager& variables, const Script& script,
                                      const RunFacts& facts) {
    variables.DefineVariable("TARGETDIR", "", kPreInitialization);
    variables.DefineVariable("STARTMENU", script.title, kPreInitialization);
    variables.DefineVariable("ALLUSERS", BoolToText(facts.allUsers), kPreInitialization);
}

void DefineBootstrapVariables(TVariableManager& variables, const Script& script, const RunFacts& facts) {
    variables.DefineVariable("PRODUCTCODE", script.productCode, kBootstrap);
    variables.DefineVariable("REVISIONCODE", script.revisionCode, kBootstrap);
    variables.DefineVariable(
        "TARGETDIR", WithTrailingBackslash(facts.programFilesFolder) + script.title + "\\", kBootstrap);
    variables.DefineVariable("STARTMENU", script.title, kBootstrap);
    variables.DefineVariable("MAINTENANCE", "FALSE", kBootstrap);
    variables.DefineVariable("NEEDSUPGRADE", "FALSE", kBootstrap);
    variables.DefineVariable("NEWINSTANCE", "FALSE", kBootstrap);
}

std::string UninstallLink(const std::string& engineCacheFolder, const RunFacts& facts) {
    return engineCacheFolder + FileOfPath(facts.executablePath);
}

void DefineEngineCacheVariables(TVariableManager& variables, const std::string& engineCacheFolder,
                                const std::string& uninstallLink, std::string_view origin) {
    if (!variables.ValueEquals("ENGINECACHE", engineCacheFolder))
        variables.DefineVariable("ENGINECACHE", engineCacheFolder, origin);
    if (!variables.ValueEquals("UNINSTALLLINK", uninstallLink))
        variables.DefineVariable("UNINSTALLLINK", uninstallLink, origin);
}

void DefineInitializationVariables(TVariableManager& variables, const Script& script, const RunFacts& facts) {
    const auto define = [&variables](std::string_view name, std::string_view value) {
        variables.DefineVariable(name, value, kInitialization);
    };
    define("VELK_COMPRESS_INSTALLER_CACHE", "TRUE");
    define("VELK_DISABLE_ROLLBACK", "FALSE");
    define("VELK_DISABLE_VISTA_RESTART_MANAGER", "FALSE");
    define("IISHOST", "localhost");
    // A command-line or bootstrap value of OVERRIDECACHE is kept.
    if (!variables.Exists("OVERRIDECACHE"))
        define("OVERRIDECACHE", "");
    define("VELKLOGO", "");
    define("SELECTED", "0");
    define("WINDOWHANDLE", "0");
    define("EXEFILE", facts.executablePath);
    define("EXEDIR", WithTrailingBackslash(facts.setupFolder));
    define("PROGRESSTEXT", "");
    define("PROGRESSMODE", "");
    define("ABORT", "FALSE");
    define("PROGRESS", "0");
    define("LASTERROR", "");
    define("LICENSE", "FALSE");
    define("USERNAME", facts.userName);
    define("USERCOMPANY", facts.userCompany);
    define("COPYWEBLOCK", "");
    define("REBOOTCOMPUTER", "FALSE");
    define("RUNAPP", "TRUE");
    define("WIZARD", "NEXT");
    define("VERSION", script.version);
    define("SILENT", BoolToText(facts.silent));
    define("LOGGED", facts.tracePath);
    define("CMDLINE", facts.argumentText);
    define("REBOOTNOW", "OK");
    define("SFXPATH", FolderOfPath(facts.wrapperPath));
    define("SFXFILE", FileOfPath(facts.wrapperPath));
    define("GPOPATH", FolderOfPath(facts.policyPath));
    define("COMPLETE", "TRUE");
    define("NEWLINE", "\r\n");
    define("MINIMUM", "FALSE");
    define("PERSONALIZED", "FALSE");
    define("MODIFY", "TRUE");
    define("REPAIR", "FALSE");
    define("REMOVE", "FALSE");
    define("ROOTDIR", WithTrailingBackslash(facts.setupFolder));
    define("TITLE", script.title);
    define("COMPANY", script.company);
    define("ADVERTISE", "FALSE");
    define("DATE", "");
    define("TIME", "");
    define("TEMPDIR", WithTrailingBackslash(facts.temporaryFolder));
    define("ABORTONERROR", "TRUE");
    define("ABORTEDONERROR", "FALSE");
    define("SAVEDATA", "FALSE");
    define("SUPPORTDIR", facts.supportFolder);
    define("MSIFILE", facts.installerDatabasePath);
    define("LANGUAGE", "");
}

}  // namespace kaviro::script
