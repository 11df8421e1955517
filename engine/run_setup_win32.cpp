// The start-up sequence: prepare the process, read the command line, show
// the start-up windows, take the package out of the executable, unpack the
// support files, preload the dialogs, run the script and clean up.

#include "engine/run_setup_win32.h"

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <memory>
#include <optional>

#include "engine/dialog_preload_step.h"
#include "engine/interpreter_call.h"
#include "engine/startup_exit.h"
#include "engine/startup_state.h"
#include "engine/startup_steps_win32.h"
#include "engine/startup_windows_win32.h"
#include "engine/support_archive.h"
#include "engine/trace.h"
#include "engine/window_caption.h"
#include "platform/file_system.h"
#include "platform/wide_text.h"
#include "platform/window.h"
#include "ui/message_table.h"

namespace kaviro {
namespace {

struct LocalFreeDeleter {
    void operator()(wchar_t** arguments) const { LocalFree(arguments); }
};

CommandLineOptions ReadProcessCommandLine() {
    const wchar_t* raw = GetCommandLineW();
    int count = 0;
    const std::unique_ptr<wchar_t*, LocalFreeDeleter> split(CommandLineToArgvW(raw, &count));
    std::vector<std::string> arguments;
    for (int i = 1; split && i < count; ++i) arguments.push_back(platform::Narrow(split.get()[i]));
    return ParseCommandLine(arguments, platform::Narrow(raw));
}

class StartupSequence {
  public:
    explicit StartupSequence(StartupState& state) : state_(state) {}

    // Steps 1 to 14 of the sequence.
    void Run() {
        WriteShellRegistryHints(platform::ExecutablePath());
        RestrictToFirstProcessor();

        state_.executablePath = platform::ExecutablePath();
        state_.setupFolder = platform::FolderOf(state_.executablePath);
        state_.setupBaseName = platform::BaseNameOf(state_.executablePath);
        state_.temporaryFolder = platform::TemporaryFolder();
        platform::CreateFolderTree(state_.temporaryFolder);

        LoadArchiveLibraryLanguage(state_.setupFolder, state_.temporaryFolder);

        SetTracePath(state_.commandLine.tracePath);
        WriteTrace("<Kaviro>");
        WriteTrace("  <SetupSplash>");

        const bool windowed = state_.commandLine.ShowsStartupWindows();
        if (windowed)
            windows_.emplace(state_.setupFolder);

        WriteTrace("    <StubSize>");
        if (!HasAppendedPackage(state_.executablePath))
            End(kExitNoPackage, "For internal use only");
        WriteTrace("    </StubSize>");
        WriteTrace("    <StubData>");
        WriteTrace("    </StubData>");
        WriteTrace("    <GlobalLists>");
        script_ = ExtractAndLoadPackage(state_.executablePath, state_.temporaryFolder);
        WriteTrace("    </GlobalLists>");

        WriteTrace("    <SupportDir>");
        state_.supportFolder = CreateSupportFolder(state_.temporaryFolder);
        WriteTrace("    </SupportDir>");
        WriteTrace("    <ExtractArchive>");

        state_.supportResourcePath = state_.setupFolder + state_.setupBaseName + ".res";
        if (!platform::FileExists(state_.supportResourcePath)) {
            End(kExitResourceNotFound, ui::Message(ui::message_line::kSetupResourceNotFound));
        }
        if (!ExtractSupportArchive(state_.supportResourcePath, state_.supportFolder).ok) {
            End(kExitResourceDecompression,
                ui::Message(ui::message_line::kSetupResourceDecompressionFailure));
        }
        WriteTrace("    </ExtractArchive>");
        WriteTrace("    <ExtractResource>");

        const std::string setupBase = state_.setupFolder + state_.setupBaseName;
        if (!platform::FileExists(setupBase + ".msi") && !platform::FileExists(setupBase + ".msp")) {
            End(kExitDatabaseNotFound, ui::Message(ui::message_line::kSetupDatabaseNotFound));
        }
        WriteTrace("    </ExtractResource>");
        WriteTrace("    <ResourcePath>");
        CopySetupDatabases(state_.setupFolder, state_.setupBaseName, state_.supportFolder);
        WriteTrace("    </ResourcePath>");
        state_.dataFolder = state_.setupFolder + "data\\";

        WriteTrace("    <Dialogs>");
        const std::size_t dialogCount = ActiveDialogStatements(*script_).size();
        if (windows_)
            windows_->SetProgressRange(0, static_cast<int>(dialogCount), 1);
        PreloadStartupDialogs(*script_, state_.supportFolder, [this] {
            if (!windows_)
                return;
            windows_->StepProgress();
            windows_->Repaint();
        });
        WriteTrace("    </Dialogs>");

        windows_.reset();
        WriteTrace("  </SetupSplash>");
        WriteTrace("  <RunScript>");
        CallInterpreter(*script_, state_.supportFolder + state_.setupBaseName + ".msi");
        WriteTrace("  </RunScript>");
        WriteTrace("  <Free>");
        script_.reset();
        WriteTrace("  </Free>");
    }

    // Closes the start-up windows before a message that has no owner.
    void CloseWindows() { windows_.reset(); }

  private:
    // Ends the start-up with one of the codes 13 to 16: the message (not in a
    // silent run) is owned by the start-up window when it exists.
    [[noreturn]] void End(int32_t exitCode, const std::string& message) {
        if (!state_.commandLine.silent) {
            platform::ShowMessageBox(windows_ ? windows_->InitWindow() : nullptr, message,
                                     ApplyWindowCaptionRule("", false), MB_OK | MB_ICONERROR);
        }
        throw StartupExit{exitCode};
    }

    StartupState& state_;
    std::optional<StartupWindows> windows_;
    std::optional<Script> script_;
};

void ReportRuntimeError(const StartupState& state, const std::string& text) {
    if (state.commandLine.silent)
        return;
    platform::ShowMessageBox(nullptr, ui::Message(ui::message_line::kRuntimeErrorInInstall) + text,
                             ApplyWindowCaptionRule("", false), MB_OK | MB_ICONERROR);
}

}  // namespace

int32_t RunSetup() {
    StartupState& state = kaviro::Startup();
    // Reading the command line has no side effects; it comes first so that a
    // failure of the earliest steps already knows whether the run is silent.
    state.commandLine = ReadProcessCommandLine();
    {
        StartupSequence startup(state);
        try {
            startup.Run();
        } catch (const StartupExit& exit) {
            return exit.exitCode;
        } catch (const std::exception& error) {
            startup.CloseWindows();
            state.exitCode = kExitRuntimeError;
            ReportRuntimeError(state, error.what());
        } catch (...) {
            startup.CloseWindows();
            state.exitCode = kExitRuntimeError;
            ReportRuntimeError(state, "unknown error");
        }
    }
    WriteTrace("  <CachedSupportDir>");
    if (!state.supportFolder.empty() && platform::FolderExists(state.supportFolder)) {
        RemoveSupportFolder(state.supportFolder);
    }
    WriteTrace("  </CachedSupportDir>");
    if (state.setupMediaRemoved) {
        WriteTrace("  <RemovableMediaPrematureEject>");
        WriteTrace("  </RemovableMediaPrematureEject>");
    }
    WriteTrace("</Kaviro>");
    return state.exitCode;
}

}  // namespace kaviro
