// Focus cues as the system's own controls show them: at all times for a user who asked for them (the
// setting to underline access keys), else hidden while a window is used with the mouse and shown from the
// first Tab, arrow key or Alt; drawn at the window's scale.
#pragma once

#include <windows.h>

namespace win32 {

// Whether one window shows its focus cues. It follows the system's messages for the state of the cues,
// which Windows sends its windows (after Tab in a dialog, after Alt) and the program sends itself where the
// system does not (Wine keeps no such state).
class FocusCues {
  public:
    // The state of a new window: shown where the user asked for cues at all times, else the state the
    // system keeps for the window.
    void start(HWND window);
    bool shown() const { return !hidden_; }
    // WM_CHANGEUISTATE or WM_UPDATEUISTATE arrived. On UIS_INITIALIZE the cues follow the user's setting
    // and then the device used last, as when a dialog opens. Returns whether the focus cue changed.
    bool apply(WPARAM wp, bool keyboardUsedLast);

  private:
    bool hidden_ = true;
    bool alwaysShown_ = false;  // the user's setting, as it was when the window was last shown
};

// The focus rectangle, `thickness` pixels wide just inside `r`. Dotted, by inverting every other pixel as
// the system draws its own, so that it shows on any back colour; in high contrast solid in the highlight
// colour.
void drawFocusFrame(HDC dc, const RECT& r, int thickness, bool highContrast);

}  // namespace win32
