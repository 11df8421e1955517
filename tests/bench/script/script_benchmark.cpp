// Prints the interpreter's statement rate for a long loop of "Set Variable",
// "If", "Mathematics" and "GoTo Label" with the per-statement refresh of
// engine settings in place, and the time of one expansion of a 1 MB text
// holding 10,000 references.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/package_format.h"
#include "script/interpreter.h"
#include "ui/run_localization.h"

namespace {

using namespace kaviro;
using namespace kaviro::script;

class SystemClock : public Clock {
public:
    int64_t WallClockSeconds() override {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
    std::string ShortDate() override { return Format("%x"); }
    std::string LongTime() override { return Format("%X"); }
    uint32_t TickCount() override {
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }

private:
    static std::string Format(const char* format) {
        const std::time_t now = std::time(nullptr);
        char text[64];
        std::strftime(text, sizeof text, format, std::localtime(&now));
        return text;
    }
};

class NullSettings : public SettingsSink {
public:
    void ApplyTracePath(const std::string&) override {}
    void ApplySilent(bool) override {}
    void ApplyTitle(const std::string&) override {}
    void ApplyLogo(bool) override {}
    void ApplyOverrideCache(const std::string&) override {}
    void ApplyLanguage(const std::string&) override {}
};

// Loads the translations when LANGUAGE changes, as the engine's settings do.
class ReloadingSettings : public NullSettings {
public:
    explicit ReloadingSettings(ui::RunLocalization& localization) : localization_(localization) {}
    void ApplyLanguage(const std::string& language) override { localization_.ReloadTranslations(language); }

private:
    ui::RunLocalization& localization_;
};

class NullPump : public MessagePump {
public:
    void ProcessPendingMessages() override {}
    void WaitOneMessage() override {}
};

void Add(Script& script, const std::string& name, std::initializer_list<std::string> parameters) {
    const std::string id = "{00000000-0000-0000-0000-" + std::to_string(100000000000 + script.statementNames.size()) + "}";
    script.statementNames.push_back(name);
    script.statementIds.push_back(id);
    script.statementFlags.emplace_back();
    script.sourceMap.push_back("C:\\bench.oru*" + std::to_string(script.statementNames.size()));
    if (parameters.size() == 0) return;
    script.parameters.push_back(id);
    for (const auto& parameter : parameters) script.parameters.push_back(parameter);
}

// A translated run: the loop's "Set Variable" has a translation and LANGUAGE
// is active, so every pass translates a parameter.
struct TranslatedRun {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "kaviro_script_benchmark";
    std::unique_ptr<ui::MessageTableTexts> texts;
    std::unique_ptr<ui::LocaleUserLanguage> locale;
    ui::LocalizationPlatform platform = ui::MakeLocalizationPlatform();
    std::unique_ptr<ui::RunLocalization> localization;
    std::unique_ptr<SettingsSink> settings;

    void Write(const std::string& name, const std::vector<std::string>& lines) const {
        std::ofstream file(folder / name, std::ios::binary);
        for (const std::string& line : lines) file << line << "\r\n";
    }
};

void LoopBenchmark(int iterations, bool translated) {
    Script script;
    Add(script, "Set Variable", {"I", "0"});
    Add(script, "Set Variable", {"LIMIT", std::to_string(iterations)});
    Add(script, "Label", {"loop"});
    Add(script, "Mathematics", {"$I$", "1", "0", "I"});
    Add(script, "Set Variable", {"LAST", "value $I$"});
    Add(script, "If", {"I", "2", "$LIMIT$", "TRUE"});
    Add(script, "GoTo Label", {"loop"});
    Add(script, "End", {});
    script.RebuildParameterIndex();
    // Per iteration: Label, Mathematics, Set Variable, If, GoTo Label; the last one runs End.
    const double statements = 5.0 * iterations + 3;

    TVariableManager store;
    SystemClock clock;
    NullSettings settings;
    NullPump pump;
    RunEnvironment environment;
    TranslatedRun translation;
    if (translated) {
        // Statement 5 ("Set Variable LAST") is translated; the default language is chosen silently.
        std::filesystem::create_directories(translation.folder);
        script.title = "Bench";
        script.defaultLanguage = "German";
        translation.Write("Bench.mtx", {script.statementIds[4], "CODEGEAR$OTHER$CODEGEAR"});
        translation.Write("translations.Map", {"bench.kvs", "bench.kvs"});
        translation.Write("translations.Original", {"value $I$", "x"});
        translation.Write("translations.German", {"Wert $I$", "y"});
        translation.texts = std::make_unique<ui::MessageTableTexts>(*translation.platform.locale);
        translation.locale = std::make_unique<ui::LocaleUserLanguage>(*translation.platform.locale);
        translation.localization = std::make_unique<ui::RunLocalization>(
            script, ui::RunLocalizationPaths{translation.folder.string() + "/", "", {}}, *translation.texts,
            *translation.platform.files, *translation.locale, *translation.platform.dialog);
        translation.settings = std::make_unique<ReloadingSettings>(*translation.localization);
        environment.translator = translation.localization.get();
        environment.languages = translation.localization.get();
        environment.run.silent = true;
    }
    environment.variables = &store;
    environment.clock = &clock;
    environment.settings = translated ? translation.settings.get() : &settings;
    environment.pump = &pump;
    const auto start = std::chrono::steady_clock::now();
    const RunResult result = RunScript(script, environment);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("statement loop%s: %d iterations, %.0f statements in %.3f s = %.0f statements/s (I = %s, LAST = %s, end %d)\n",
                translated ? " (translated)" : "", iterations, statements, seconds, statements / seconds,
                store.Get("I").c_str(), store.Get("LAST").c_str(), static_cast<int>(result.end));
    if (translated) std::filesystem::remove_all(translation.folder);
}

void ExpandBenchmark() {
    TVariableManager store;
    store.Set("TARGETDIR", "C:\\Program Files\\Sample");
    std::string text;
    const std::string filler(90, 'x');
    for (int i = 0; i < 10000; ++i) text += filler + " $TARGETDIR$ ";
    text.resize(1 << 20, 'y');
    const auto start = std::chrono::steady_clock::now();
    std::size_t size = 0;
    const int rounds = 20;
    for (int i = 0; i < rounds; ++i) size += store.Expand(text).size();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;
    std::printf("expand: %zu bytes with 10000 references -> %zu bytes in %.2f ms (%.0f MB/s)\n", text.size(),
                size / rounds, seconds * 1000, text.size() / seconds / 1e6);
    std::string doubled = text + text;
    const auto start2 = std::chrono::steady_clock::now();
    const std::size_t size2 = store.Expand(doubled).size();
    const double seconds2 = std::chrono::duration<double>(std::chrono::steady_clock::now() - start2).count();
    std::printf("expand: %zu bytes (twice the text) -> %zu bytes in %.2f ms (linear check: %.2fx the 1 MB time)\n",
                doubled.size(), size2, seconds2 * 1000, seconds2 / seconds);
}

}  // namespace

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? std::atoi(argv[1]) : 1000000;
    LoopBenchmark(iterations, false);
    LoopBenchmark(iterations, true);
    ExpandBenchmark();
    return 0;
}
