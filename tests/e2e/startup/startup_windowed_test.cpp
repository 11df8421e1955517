// Start-up runs with windows, under the test run's Xvfb display: the start-up
// window and the start-up message boxes as the UI driver sees them.
#include <gtest/gtest.h>

#include <thread>

#include "engine/text_util.h"
#include "tests/e2e/startup/setup_factory.h"
#include "tests/e2e/startup/startup_run.h"

namespace kaviro::e2e {
namespace {

constexpr const char* kPreparing =
    "Kaviro is preparing the Kaviro Wizard which will install this application. Please wait.";

const DriverWindow* FindControl(const std::vector<DriverWindow>& windows, const std::string& className,
                                const std::string& geometry) {
    for (const DriverWindow& window : windows) {
        if (window.className == className && window.geometry == geometry)
            return &window;
    }
    return nullptr;
}

std::vector<int> Numbers(const std::string& text, char separator) {
    std::vector<int> numbers;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        numbers.push_back(std::stoi(text.substr(start, end - start)));
        if (end == std::string::npos) return numbers;
        start = end + 1;
    }
}

// One message line per line of a 115-line block: line 4 and 23 changed.
std::string LanguageFile() {
    std::vector<std::string> first(115, "unused");
    std::vector<std::string> german(115, "unbenutzt");
    german[3] = "Setup-Datenbank nicht gefunden";
    german[22] = "Kaviro Assistent";
    std::vector<std::string> lines = first;
    lines.push_back("German");
    lines.insert(lines.end(), german.begin(), german.end());
    return JoinLinesCrlf(lines);
}

TEST(StartupWindowed, InitWindowShowsItsTextsThenGoes) {
    Scratch scratch;
    SetupSpec spec;
    // Enough dialogs to keep the window up while the driver looks at it.
    for (int i = 0; i < 60; ++i) spec.dialogs.push_back("page" + std::to_string(i));
    const std::string executable = MakeSetup(scratch.Path() + "/setup", spec);

    WineProcess watcher(DriverRequest({"watch", "--class", "TSetupInit", "--timeout", "60000"}, 90));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const RunResult run = RunUnderWine(SetupRequest(executable, scratch, {}));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const DriverResult seen = ParseDriverOutput(watcher.Wait(std::chrono::seconds(90)));
    ASSERT_EQ(seen.exitCode, 0) << "TSetupInit was not seen to appear and go";
    ASSERT_FALSE(seen.windows.empty());

    const DriverWindow& window = seen.windows.front();
    EXPECT_EQ(window.className, "TSetupInit");
    EXPECT_EQ(window.text, "Kaviro Wizard");
    EXPECT_EQ(window.clientSize, "369x89");
    EXPECT_TRUE(window.visible);
    // Without setup.bmp the window is centred on the 1280 x 1024 screen.
    const std::vector<int> bounds = Numbers(window.geometry, ',');
    ASSERT_EQ(bounds.size(), 4u);
    EXPECT_EQ(bounds[0], (1280 - bounds[2]) / 2);
    EXPECT_EQ(bounds[1], (1024 - bounds[3]) / 2);

    const std::vector<DriverWindow> controls(seen.windows.begin() + 1, seen.windows.end());
    ASSERT_NE(FindControl(controls, "Static", "16,16,32,32"), nullptr) << "icon";
    const DriverWindow* label = FindControl(controls, "Static", "56,16,297,33");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text, kPreparing);
    EXPECT_NE(FindControl(controls, "msctls_progress32", "16,56,337,17"), nullptr) << "progress bar";
    EXPECT_EQ(seen.lines.back(), "gone");
}

struct MessageBoxCase {
    const char* what;
    SetupSpec spec;
    std::vector<std::string> arguments;
    int exitCode;
    std::string text;  // the box's text, or its start for runtime errors
    bool initWindowOwnsIt;
    std::string initCaption = "Kaviro Wizard";
};

TEST(StartupWindowed, MessageBoxesOfTheStartupFailures) {
    const MessageBoxCase cases[] = {
        {"13",
         [] {
             SetupSpec s;
             s.appendPackage = false;
             return s;
         }(),
         {},
         13,
         "For internal use only",
         true},
        {"14",
         [] {
             SetupSpec s;
             s.resource = false;
             return s;
         }(),
         {},
         14,
         "Setup resource not found",
         true},
        {"15",
         [] {
             SetupSpec s;
             s.resourceBytes = "not an archive";
             return s;
         }(),
         {},
         15,
         "Setup resource decompression failure",
         true},
        {"16",
         [] {
             SetupSpec s;
             s.database = SetupSpec::Database::None;
             return s;
         }(),
         {},
         16,
         "Setup database not found",
         true},
        {"16 translated by the archive library's language file",
         [] {
             SetupSpec s;
             s.database = SetupSpec::Database::None;
             s.languageFile = LanguageFile();
             return s;
         }(),
         {},
         16,
         "Setup-Datenbank nicht gefunden",
         true,
         "Kaviro Assistent"},
        {"16 in an update run: no start-up window",
         [] {
             SetupSpec s;
             s.database = SetupSpec::Database::None;
             return s;
         }(),
         {"/update"},
         16,
         "Setup database not found",
         false},
        {"11 for a damaged dialog",
         [] {
             SetupSpec s;
             s.dialogs = {"welcome"};
             s.supportFiles["welcome.dfm"] = "bad";
             return s;
         }(),
         {"/silent"},
         11,
         "Runtime error in install: ",
         false},
    };
    for (const MessageBoxCase& entry : cases) {
        SCOPED_TRACE(entry.what);
        Scratch scratch;
        const std::string executable = MakeSetup(scratch.Path() + "/setup", entry.spec);
        WineProcess setup(SetupRequest(executable, scratch, entry.arguments));

        const DriverResult box = RunDriver({"wait", "--class", "#32770", "--timeout", "30000"});
        ASSERT_EQ(box.exitCode, 0) << "no message box appeared";
        ASSERT_EQ(box.windows.size(), 1u);
        EXPECT_EQ(box.windows[0].text, "Kaviro Wizard");

        const DriverResult controls = RunDriver({"controls", box.windows[0].handle});
        bool textFound = false;
        for (const DriverWindow& control : controls.windows) {
            if (control.className == "Static" && control.text.rfind(entry.text, 0) == 0)
                textFound = true;
        }
        EXPECT_TRUE(textFound) << "message text \"" << entry.text << "\" not among the box's controls";

        const DriverResult init = RunDriver({"list", "--class", "TSetupInit"});
        bool initVisible = false;
        for (const DriverWindow& window : init.windows) {
            if (window.visible) {
                initVisible = true;
                EXPECT_EQ(window.text, entry.initCaption);
            }
        }
        EXPECT_EQ(initVisible, entry.initWindowOwnsIt);

        EXPECT_EQ(RunDriver({"click-button", box.windows[0].handle, "OK"}).exitCode, 0);
        const RunResult run = setup.Wait(std::chrono::seconds(30));
        EXPECT_EQ(run.exitCode, entry.exitCode) << run.output;
        EXPECT_EQ(RunDriver({"list", "--class", "TSetupInit"}).windows.size(), 0u)
            << "start-up window left behind";
    }
}

TEST(StartupWindowed, SplashPictureCentredAndInitWindowBelowIt) {
    Scratch scratch;
    SetupSpec spec;
    spec.splashPicture = true;                  // 120 x 60
    spec.database = SetupSpec::Database::None;  // the 16 box holds both windows up
    const std::string executable = MakeSetup(scratch.Path() + "/setup", spec);
    WineProcess setup(SetupRequest(executable, scratch, {}));
    const DriverResult box = RunDriver({"wait", "--class", "#32770", "--timeout", "30000"});
    ASSERT_EQ(box.exitCode, 0);

    const DriverResult splash = RunDriver({"list", "--class", "TSetupSplash"});
    const DriverResult init = RunDriver({"list", "--class", "TSetupInit"});
    ASSERT_EQ(splash.windows.size(), 1u);
    ASSERT_EQ(init.windows.size(), 1u);
    EXPECT_TRUE(splash.windows[0].visible);
    const std::vector<int> s = Numbers(splash.windows[0].geometry, ',');
    const std::vector<int> i = Numbers(init.windows[0].geometry, ',');
    EXPECT_EQ(s, (std::vector<int>{(1280 - 120) / 2, (1024 - 60) / 2, 120, 60}));
    EXPECT_EQ(i[0], s[0] + 120 / 2 + 50);
    EXPECT_EQ(i[1], s[1] + 60 + 25);

    RunDriver({"click-button", box.windows[0].handle, "OK"});
    EXPECT_EQ(setup.Wait(std::chrono::seconds(30)).exitCode, 16);
}

}  // namespace
}  // namespace kaviro::e2e
