#pragma once
// The start-up windows: TSetupSplash, a borderless window that sizes itself
// to the setup's picture, and TSetupInit, a fixed dialog of 369 by 89 client
// pixels with an icon, the "preparing" message and a progress bar. Both live
// from the start of the start-up until the dialogs are preloaded.

#include <windows.h>

#include <string>

#include "platform/window.h"

namespace kaviro {

class StartupWindows {
  public:
    // Creates both windows. With setupFolder + "setup.bmp" the splash shows
    // the picture centred on the screen and TSetupInit stands below its right
    // half; without it the splash stays hidden and TSetupInit is centred.
    explicit StartupWindows(const std::string& setupFolder);
    StartupWindows(const StartupWindows&) = delete;
    StartupWindows& operator=(const StartupWindows&) = delete;
    ~StartupWindows();

    [[nodiscard]] HWND InitWindow() const { return init_.Get(); }

    void SetProgressRange(int minimum, int maximum, int position);
    void StepProgress();
    void Repaint();

  private:
    platform::UniqueGdiObject picture_;
    platform::UniqueGdiObject font_;
    platform::UniqueWindow splash_;
    platform::UniqueWindow init_;
    HWND progress_ = nullptr;
    bool splashShown_ = false;
};

}  // namespace kaviro
