// The hand-over cleanup of downloaded media in the engine cache.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "engine/hand_over_cleanup.h"

namespace kaviro {
namespace {

namespace fs = std::filesystem;

TEST(HandOverCleanup, CachedSourcesAreDroppedOnlyForLayoutTwoWithFalse) {
    struct Case {
        int32_t layout;
        TextList settings;
        bool drops;
    };
    const Case cases[] = {
        {2, {"CACHESOURCES", "FALSE"}, true},
        {2, {"cachesources", "#NO#", "NO", "FALSE"}, true},
        {2, {"CACHESOURCES", "TRUE"}, false},
        {2, {"CACHESOURCES", "false"}, false},
        {2, {}, false},
        {1, {"CACHESOURCES", "FALSE"}, false},
        {3, {"CACHESOURCES", "FALSE"}, false},
    };
    for (const Case& c : cases) {
        Script script;
        script.mediaLayoutCode = c.layout;
        script.buildSettings = c.settings;
        EXPECT_EQ(DropsCachedSources(script), c.drops) << c.layout << " " << (c.settings.empty() ? "" : c.settings[1]);
    }
}

TEST(HandOverCleanup, EveryMediaFolderButOfflineGoes) {
    const fs::path cache = fs::path(::testing::TempDir()) / "hand_over_cache";
    fs::remove_all(cache);
    for (const char* folder : {"Offline", "block1", "block2/part"}) fs::create_directories(cache / folder);
    std::ofstream(cache / "block2" / "part" / "data.7zip") << "payload";
    std::ofstream(cache / "setup.dat") << "kept";
    std::ofstream(cache / "Offline" / "marker") << "kept";

    // The engine's cache paths end with a backslash; here the separator is "/".
    DeleteDownloadedMedia(cache.string() + "/");

    EXPECT_EQ(SubfolderNames(cache.string()), (std::vector<std::string>{"Offline"}));
    EXPECT_TRUE(fs::exists(cache / "setup.dat")) << "files of the cache stay";
    EXPECT_TRUE(fs::exists(cache / "Offline" / "marker"));
    fs::remove_all(cache);

    DeleteDownloadedMedia((cache / "missing/").string());  // nothing to do, no failure
    DeleteDownloadedMedia("");
}

}  // namespace
}  // namespace kaviro
