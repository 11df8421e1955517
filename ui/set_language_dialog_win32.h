#pragma once
// The language selection dialog (TSetLanguage) on plain Win32: a fixed
// 241 by 127 client-pixel dialog centred on the screen, with an icon, a
// word-wrapped prompt, the drop-down list LangCombo and the buttons OK
// (default, result 1) and Cancel (result 2). Modal.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "ui/language_selection.h"

namespace kaviro::ui {

inline constexpr wchar_t kSetLanguageClass[] = L"TSetLanguage";
inline constexpr int kSetLanguageClientWidth = 241;
inline constexpr int kSetLanguageClientHeight = 127;
inline constexpr int kLangComboId = 100;
inline constexpr int kLanguageIconId = 101;
inline constexpr int kLanguagePromptId = 102;

struct SetLanguageIcons {
    HICON modern = nullptr;   // Windows XP and later
    HICON classic = nullptr;  // older systems
};

// Shows the dialog and returns its result (1 OK, 2 Cancel) with the chosen
// position in `selection`. Raises EngineError when the dialog cannot be made.
int ShowSetLanguageDialog(HWND owner, const std::vector<std::string>& languages, std::size_t& selection,
                          const LanguageDialogTexts& texts, const SetLanguageIcons& icons);

// The dialog behind the portable language selection.
class Win32LanguageDialog final : public LanguageDialog {
  public:
    explicit Win32LanguageDialog(SetLanguageIcons icons, HWND owner = nullptr)
        : icons_(icons), owner_(owner) {}
    [[nodiscard]] std::optional<std::size_t> Choose(const std::vector<std::string>& languages,
                                                    std::size_t preselected,
                                                    const LanguageDialogTexts& texts) override;

  private:
    SetLanguageIcons icons_;
    HWND owner_;
};

}  // namespace kaviro::ui
