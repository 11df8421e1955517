// Entry point of the setup engine.

#include <windows.h>

#include "engine/run_setup_win32.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    // RunSetup reports every failure itself; nothing escapes it but the exit code.
    const int32_t exitCode = kaviro::RunSetup();
    ExitProcess(static_cast<UINT>(exitCode));
}
