// set_language_demo [--press ok|cancel] [--pick n] [preselected] language...
// set_language_demo --list folder   prints the folder's language files
// Shows the language dialog with the given languages and prints
// "result <1|2> selection <n> <language>"; the exit code is the dialog result.
// With --press, a helper thread waits for the dialog, reports its caption and
// client size, optionally picks item n in LangCombo, and clicks the button,
// so the dialog can be checked without a person.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/engine_error.h"
#include "ui/language_files_win32.h"
#include "ui/set_language_dialog_win32.h"

namespace {

void PressWhenShown(int buttonId, int pick) {
    HWND dialog = nullptr;
    for (int attempt = 0; attempt < 200 && !dialog; ++attempt) {
        dialog = FindWindowW(kaviro::ui::kSetLanguageClass, nullptr);
        if (!dialog)
            Sleep(25);
    }
    if (!dialog) {
        std::printf("dialog not found\n");
        return;
    }
    Sleep(200);
    char caption[256] = {};
    GetWindowTextA(dialog, caption, sizeof(caption));
    RECT client{};
    GetClientRect(dialog, &client);
    const LRESULT count = SendDlgItemMessageW(dialog, kaviro::ui::kLangComboId, CB_GETCOUNT, 0, 0);
    const LRESULT shown = SendDlgItemMessageW(dialog, kaviro::ui::kLangComboId, CB_GETCURSEL, 0, 0);
    std::printf("caption \"%s\" client %ldx%ld items %ld preselected %ld\n", caption, client.right,
                client.bottom, static_cast<long>(count), static_cast<long>(shown));
    if (pick >= 0)
        SendDlgItemMessageW(dialog, kaviro::ui::kLangComboId, CB_SETCURSEL, static_cast<WPARAM>(pick), 0);
    SendMessageW(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--list") == 0) {
        for (const std::string& path : kaviro::ui::Win32LanguageFiles().ListTranslationFiles(argv[2])) {
            std::printf("%s\n", path.c_str());
        }
        return 0;
    }
    std::size_t selection = 0;
    std::vector<std::string> languages;
    int press = 0;
    int pick = -1;
    int i = 1;
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--press") == 0 && i + 1 < argc) {
            press = std::strcmp(argv[++i], "cancel") == 0 ? IDCANCEL : IDOK;
        } else if (std::strcmp(argv[i], "--pick") == 0 && i + 1 < argc) {
            pick = std::atoi(argv[++i]);
        } else {
            break;
        }
    }
    if (i < argc && argv[i][0] >= '0' && argv[i][0] <= '9') {
        selection = static_cast<std::size_t>(std::strtoul(argv[i], nullptr, 10));
        ++i;
    }
    for (; i < argc; ++i) languages.emplace_back(argv[i]);
    if (languages.empty())
        languages = {"English", "German", "French"};

    const kaviro::ui::LanguageDialogTexts texts{
        "Select Setup Language", "Please select the language to use during the installation:", "&OK",
        "&Cancel"};
    const HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32516));  // the information icon
    std::thread presser;
    if (press)
        presser = std::thread(PressWhenShown, press, pick);
    int result = 3;
    try {
        result = kaviro::ui::ShowSetLanguageDialog(nullptr, languages, selection, texts, {icon, icon});
        std::printf("result %d selection %zu %s\n", result, selection,
                    selection < languages.size() ? languages[selection].c_str() : "");
    } catch (const kaviro::EngineError& error) {
        std::fprintf(stderr, "set_language_demo: %s\n", error.what());
    }
    if (presser.joinable())
        presser.join();
    std::fflush(stdout);
    return result;
}
