#include "ui/language_files_win32.h"

#include <windows.h>

#include "ui/translations.h"

namespace kaviro::ui {

std::vector<std::string> Win32LanguageFiles::ListTranslationFiles(const std::string& folder) const {
    std::vector<std::string> paths;
    WIN32_FIND_DATAA found{};
    const std::string pattern = SupportFilePath(folder, std::string(kTranslationsPrefix) + "*");
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return paths;  // nothing listed: no languages offered
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            paths.push_back(SupportFilePath(folder, found.cFileName));
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return paths;
}

}  // namespace kaviro::ui
