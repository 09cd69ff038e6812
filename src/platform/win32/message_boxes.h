// The program's message boxes and the rules that keep them in front: a box belongs to the window the
// user works in, every other window of the program is out of reach while one is up (also a window shown
// or made while it is up), and a window activated or pressed meanwhile hands the activation on to the box.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/backend.h"

namespace win32 {

// Posted to a window activated while a box keeps it out of reach: the box is brought forward once the
// activation is over.
inline constexpr UINT kBringBoxForward = WM_APP + 1;

class MessageBoxes {
  public:
    ui::MessageAnswer show(const std::string& text, ui::MessageButtons buttons);
    bool open() const { return openBoxes_ > 0; }

    // The program's windows, from their creation to their destruction.
    void windowCreated(HWND window);
    void windowDestroyed(HWND window);
    // When the active window goes the system picks the next one by its own rules: the program's window
    // in front takes over (not when a box is up).
    void keepActivationInProgram() const;

    // A window is to be shown or activated by the program: false when a box is up and took it instead.
    void showWindow(HWND window) const;
    bool mayActivate() const;
    // The system activated a window (true when the activation is handed on to a box), or the mouse was
    // pressed on one.
    bool activatedOutOfReach(HWND window) const;
    void mousePressed(HWND window, UINT mouseMessage) const;
    // Raises the open message box over everything and activates it; nothing when no box is open.
    void bringForward() const;

  private:
    HWND owner() const;
    bool isShownWindow(HWND h) const;
    HWND topShownWindow() const;

    std::vector<HWND> windows_;
    int openBoxes_ = 0;
};

}  // namespace win32
