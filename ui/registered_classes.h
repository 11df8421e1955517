#pragma once
// The component classes that dialog files may contain. The host registers
// them with the form library before any dialog is read; the class names are
// part of the dialog file format.

#include <array>
#include <string_view>

namespace kaviro::ui {

inline constexpr std::array<std::string_view, 39> kRegisteredClasses = {
    "TLabel",         "TEdit",           "TMemo",        "TButton",      "TRzCheckBox",   "TRzRadioButton",
    "TListBox",       "TComboBox",       "TGroupBox",    "TPanel",       "TBitBtn",       "TSpeedButton",
    "TMaskEdit",      "TImage",          "TShape",       "TBevel",       "TStaticText",   "TGauge",
    "TPageControl",   "TTabSheet",       "TRichEdit",    "TTrackBar",    "TProgressBar",  "TUpDown",
    "TAnimate",       "TCheckListBox",   "TTreeView",    "THTMLViewer",  "TFileListBox",  "TDirectoryListBox",
    "TDriveComboBox", "TFilterComboBox", "TPTShellTree", "TPTShellList", "TPTShellCombo", "TFlashFrame",
    "TRzFormShape",   "TRzBmpButton",    "TVistaGlass",
};

// True when className names one of the registered classes (the form
// library's class lookup ignores case).
[[nodiscard]] bool IsRegisteredClass(std::string_view className);

}  // namespace kaviro::ui
