#include "ui/set_language_dialog_win32.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "engine/engine_error.h"

namespace kaviro::ui {
namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;

// Layout in client pixels.
constexpr RECT kIconBounds{8, 8, 8 + 32, 8 + 32};
constexpr int kContentLeft = 48;
constexpr int kContentWidth = kSetLanguageClientWidth - kContentLeft - 8;
constexpr RECT kPromptBounds{kContentLeft, 8, kContentLeft + kContentWidth, 8 + 40};
constexpr int kComboTop = 52;
constexpr int kComboDropHeight = 200;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonTop = kSetLanguageClientHeight - 8 - kButtonHeight;
constexpr int kCancelLeft = kSetLanguageClientWidth - 8 - kButtonWidth;
constexpr int kOkLeft = kCancelLeft - 6 - kButtonWidth;

std::wstring Widen(const std::string& text) {
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string LastErrorText(const char* what) {
    return std::string(what) + " (Windows error " + std::to_string(GetLastError()) + ").";
}

// Windows XP (5.1) and later get the modern picture.
bool HasModernLook() {
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto getVersion = ntdll ? reinterpret_cast<RtlGetVersionFunction>(
                                        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                                  : nullptr;
    if (!getVersion || getVersion(&version) != 0)
        return true;
    return version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion != 0);
}

class OwnedFont {
  public:
    OwnedFont() {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
            font_ = CreateFontIndirectW(&metrics.lfMessageFont);
        }
    }
    OwnedFont(const OwnedFont&) = delete;
    OwnedFont& operator=(const OwnedFont&) = delete;
    ~OwnedFont() {
        if (font_)
            DeleteObject(font_);
    }
    [[nodiscard]] HFONT Get() const {
        return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }

  private:
    HFONT font_ = nullptr;
};

struct DialogState {
    const std::vector<std::string>* languages;
    std::size_t* selection;
    const LanguageDialogTexts* texts;
    HICON icon;
    HFONT font;
};

void RegisterDialogClass(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, kSetLanguageClass, &existing))
        return;
    WNDCLASSEXW dialogClass{};
    dialogClass.cbSize = sizeof(dialogClass);
    dialogClass.lpfnWndProc = DefDlgProcW;
    dialogClass.cbWndExtra = DLGWINDOWEXTRA;
    dialogClass.hInstance = instance;
    dialogClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    dialogClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    dialogClass.lpszClassName = kSetLanguageClass;
    if (!RegisterClassExW(&dialogClass))
        throw EngineError(LastErrorText("Cannot register the language dialog class"));
}

HWND CreateChild(HWND dialog, const wchar_t* className, const std::string& text, DWORD style, int id,
                 int left, int top, int width, int height, HFONT font) {
    const HWND child = CreateWindowExW(
        0, className, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, left, top, width, height, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (child && font)
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

void LayOut(HWND dialog, const DialogState& state) {
    SetWindowTextW(dialog, Widen(state.texts->caption).c_str());

    const HWND icon = CreateChild(dialog, L"Static", "", SS_ICON, kLanguageIconId, kIconBounds.left,
                                  kIconBounds.top, 32, 32, nullptr);
    if (icon && state.icon)
        SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(state.icon), 0);
    if (icon)
        SetWindowPos(icon, nullptr, kIconBounds.left, kIconBounds.top, 32, 32, SWP_NOZORDER | SWP_NOACTIVATE);

    CreateChild(dialog, L"Static", state.texts->prompt, SS_LEFT | SS_NOPREFIX, kLanguagePromptId,
                kPromptBounds.left, kPromptBounds.top, kPromptBounds.right - kPromptBounds.left,
                kPromptBounds.bottom - kPromptBounds.top, state.font);
    const HWND combo =
        CreateChild(dialog, L"ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                    kLangComboId, kContentLeft, kComboTop, kContentWidth, kComboDropHeight, state.font);
    for (const std::string& language : *state.languages) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(language).c_str()));
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(*state.selection), 0);
    CreateChild(dialog, L"Button", state.texts->ok, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, kOkLeft,
                kButtonTop, kButtonWidth, kButtonHeight, state.font);
    CreateChild(dialog, L"Button", state.texts->cancel, BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, kCancelLeft,
                kButtonTop, kButtonWidth, kButtonHeight, state.font);
    SendMessageW(dialog, DM_SETDEFID, IDOK, 0);

    // Fixed client size, centred on the screen.
    RECT frame{0, 0, kSetLanguageClientWidth, kSetLanguageClientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(dialog, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, 0);
    SetFocus(combo);
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto* state = reinterpret_cast<const DialogState*>(lParam);
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            LayOut(dialog, *state);
            return FALSE;  // focus set by LayOut
        }
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDOK || id == IDCANCEL) {
                const auto* state =
                    reinterpret_cast<const DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
                if (id == IDOK && state) {
                    const LRESULT chosen = SendDlgItemMessageW(dialog, kLangComboId, CB_GETCURSEL, 0, 0);
                    if (chosen != CB_ERR)
                        *state->selection = static_cast<std::size_t>(chosen);
                }
                EndDialog(dialog, id);
                return TRUE;
            }
            return FALSE;
        }
        default:
            return FALSE;
    }
}

// An in-memory dialog template without items (the controls are made in
// pixels at WM_INITDIALOG) and with the TSetLanguage window class.
std::vector<WORD> DialogTemplate() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    DLGTEMPLATE header{};
    header.style = kDialogStyle;
    header.cdit = 0;
    header.cx = 160;
    header.cy = 80;
    std::memcpy(words.data(), &header, sizeof(header));
    words.push_back(0);  // no menu
    for (const wchar_t* c = kSetLanguageClass; *c; ++c) words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
    words.push_back(0);  // empty title; set from the texts
    words.push_back(8);  // font size
    for (const wchar_t* c = L"MS Shell Dlg"; *c; ++c) words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
    return words;
}

}  // namespace

int ShowSetLanguageDialog(HWND owner, const std::vector<std::string>& languages, std::size_t& selection,
                          const LanguageDialogTexts& texts, const SetLanguageIcons& icons) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterDialogClass(instance);
    if (!languages.empty() && selection >= languages.size())
        selection = 0;
    const OwnedFont font;
    const DialogState state{&languages, &selection, &texts, HasModernLook() ? icons.modern : icons.classic,
                            font.Get()};
    const std::vector<WORD> dialogTemplate = DialogTemplate();
    const INT_PTR result =
        DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner,
                                DialogProcedure, reinterpret_cast<LPARAM>(&state));
    if (result == -1 || result == 0)
        throw EngineError(LastErrorText("Cannot show the language dialog"));
    return static_cast<int>(result);
}

std::optional<std::size_t> Win32LanguageDialog::Choose(const std::vector<std::string>& languages,
                                                       std::size_t preselected,
                                                       const LanguageDialogTexts& texts) {
    std::size_t selection = preselected;
    if (ShowSetLanguageDialog(owner_, languages, selection, texts, icons_) != IDOK)
        return std::nullopt;
    return selection;
}

}  // namespace kaviro::ui
