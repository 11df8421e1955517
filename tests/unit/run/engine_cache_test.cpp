// The engine cache folder: where it lies and how ENGINECACHE and
// UNINSTALLLINK follow it through the run.
#include <gtest/gtest.h>

#include "script/engine_cache.h"
#include "tests/unit/run/run_fakes.h"
#include "tests/unit/script/script_builder.h"

namespace kaviro::script {
namespace {

using testing::LifecycleRun;
using testing::ScriptBuilder;

constexpr const char* kRevision = "{9A1B2C3D-0000-4000-8000-00000000AB12}";

CacheRootFacts Folders() {
    CacheRootFacts facts;
    facts.commonAppDataFolder = "C:\\ProgramData";
    facts.localAppDataFolder = "C:\\Users\\ada\\AppData\\Local\\";
    facts.roamingAppDataFolder = "C:\\Users\\ada\\AppData\\Roaming";
    facts.desktopFolder = "C:\\Users\\ada\\Desktop";
    return facts;
}

TEST(EngineCache, RootByOverrideRegistrationThenApplicationData) {
    struct Case {
        const char* what;
        const char* overrideCache;
        std::string identCache;
        bool allUsers;
        std::vector<std::string CacheRootFacts::*> missing;
        const char* root;
    };
    const std::string registered = std::string("F:\\Caches\\") + kRevision + "\\";
    const Case cases[] = {
        {"override wins", "D:\\Cache\\", registered, true, {}, "D:\\Cache\\"},
        {"override gets its backslash", "D:\\Cache", "", false, {}, "D:\\Cache\\"},
        {"registration of this revision", "", registered, false, {}, "F:\\Caches\\"},
        {"registration without trailing backslash, case ignored", "",
         "F:\\Caches\\{9a1b2c3d-0000-4000-8000-00000000ab12}", true, {}, "F:\\Caches\\"},
        {"registration of another revision is ignored", "", "F:\\Caches\\{OTHER}\\", true, {}, "C:\\ProgramData\\"},
        {"all users", "", "", true, {}, "C:\\ProgramData\\"},
        {"one user", "", "", false, {}, "C:\\Users\\ada\\AppData\\Local\\"},
        {"roaming when there is no local folder", "", "", false, {&CacheRootFacts::localAppDataFolder},
         "C:\\Users\\ada\\AppData\\Roaming\\"},
        {"above the desktop at last", "", "", false,
         {&CacheRootFacts::localAppDataFolder, &CacheRootFacts::roamingAppDataFolder},
         "C:\\Users\\ada\\Application Data\\"},
        {"all users without the common folder", "", "", true, {&CacheRootFacts::commonAppDataFolder},
         "C:\\Users\\ada\\Application Data\\"},
    };
    for (const Case& c : cases) {
        CacheRootFacts facts = Folders();
        facts.identCacheValue = c.identCache;
        for (auto member : c.missing) facts.*member = "";
        EXPECT_EQ(CacheRoot(c.overrideCache, facts, kRevision, c.allUsers), c.root) << c.what;
        EXPECT_EQ(CacheFolder(c.overrideCache, facts, kRevision, c.allUsers), c.root + std::string(kRevision) + "\\")
            << c.what;
    }
    EXPECT_EQ(CacheFolder("", CacheRootFacts{}, kRevision, false), "") << "no folder at all";
}

TEST(EngineCache, VariablesFollowOverrideCacheFromTheNextStatement) {
    LifecycleRun run;
    run.environment.run.facts.cacheRoot = Folders();
    run.environment.run.facts.allUsers = true;
    Script script = ScriptBuilder()
                        .Set("LOG", "$ENGINECACHE$|$UNINSTALLLINK$")
                        .Set("OVERRIDECACHE", "D:\\Cache\\")
                        .Set("LOG", "$LOG$|$ENGINECACHE$")
                        .Set("ENGINECACHE", "scribbled")
                        .Set("LOG", "$LOG$|$ENGINECACHE$")
                        .Build();
    script.revisionCode = kRevision;
    run.Start(script);
    const std::string first = std::string("C:\\ProgramData\\") + kRevision + "\\";
    const std::string moved = std::string("D:\\Cache\\") + kRevision + "\\";
    EXPECT_EQ(run.store.Get("LOG"), first + "|" + first + "setup.exe|" + moved + "|" + moved);
    EXPECT_EQ(run.result.engineCacheFolder, moved);
}

TEST(EngineCache, OverrideCacheFromTheCommandLine) {
    for (bool silent : {false, true}) {
        LifecycleRun run;
        run.environment.run.silent = silent;
        run.environment.run.facts.cacheRoot = Folders();
        run.environment.run.overrides = {"OVERRIDECACHE", "G:\\Kept"};
        Script script = ScriptBuilder().Set("LOG", "$OVERRIDECACHE$|$ENGINECACHE$").Build();
        script.revisionCode = kRevision;
        run.Start(script);
        EXPECT_EQ(run.store.Get("LOG"), std::string("G:\\Kept|G:\\Kept\\") + kRevision + "\\");
    }
}

}  // namespace
}  // namespace kaviro::script
