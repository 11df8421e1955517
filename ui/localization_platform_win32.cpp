// The Windows pieces of language selection: ANSI file functions, the
// TSetLanguage dialog with the engine's own icons, the system locale.

#include <windows.h>

#include "engine/resources/resource_ids.h"
#include "ui/language_files_win32.h"
#include "ui/run_localization.h"
#include "ui/set_language_dialog_win32.h"

namespace kaviro::ui {

LocalizationPlatform MakeLocalizationPlatform() {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    // Icons of the executable's resources are shared and need no release.
    SetLanguageIcons icons{LoadIconW(module, MAKEINTRESOURCEW(IDI_SETUP_MODERN)),
                           LoadIconW(module, MAKEINTRESOURCEW(IDI_SETUP_CLASSIC))};
    LocalizationPlatform platform;
    platform.files = std::make_unique<Win32LanguageFiles>();
    platform.dialog = std::make_unique<Win32LanguageDialog>(icons);
    platform.locale = &SystemLocale();
    return platform;
}

}  // namespace kaviro::ui
