#pragma once
// The language files of a support folder through the ANSI file functions,
// so folders whose paths hold characters of the active code page work.

#include <string>
#include <vector>

#include "ui/language_selection.h"

namespace kaviro::ui {

class Win32LanguageFiles final : public FileSystemLanguageFiles {
  public:
    // Full paths of the "translations.*" files, in the order the folder lists them.
    [[nodiscard]] std::vector<std::string> ListTranslationFiles(const std::string& folder) const override;
};

}  // namespace kaviro::ui
