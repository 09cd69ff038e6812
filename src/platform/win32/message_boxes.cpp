#include "platform/win32/message_boxes.h"

#include <algorithm>
#include <cwchar>

#include "platform/win32/text.h"

namespace win32 {

namespace {

BOOL CALLBACK findVisibleBox(HWND window, LPARAM found) {
    wchar_t name[8] = {};
    if (IsWindowVisible(window) && GetClassNameW(window, name, 8) > 0 && std::wcscmp(name, L"#32770") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The message box in front. The program makes no other dialog windows, and a box opened while another
// is up belongs to that one and so lies above it; the thread's windows are listed from the top down.
HWND frontMessageBox() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findVisibleBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

void MessageBoxes::windowCreated(HWND window) {
    windows_.push_back(window);
    if (open()) {
        EnableWindow(window, FALSE);
    }
}

void MessageBoxes::windowDestroyed(HWND window) {
    std::erase(windows_, window);
}

void MessageBoxes::showWindow(HWND window) const {
    if (open()) {
        // The box stays in front of a window shown while it is up (the window is out of reach anyway).
        ShowWindow(window, SW_SHOWNA);
        bringForward();
    } else {
        ShowWindow(window, SW_SHOW);
    }
}

bool MessageBoxes::mayActivate() const {
    if (open()) {
        bringForward();
        return false;
    }
    return true;
}

bool MessageBoxes::activatedOutOfReach(HWND window) const {
    if (IsWindowEnabled(window)) {
        return false;
    }
    // Only a message box disables the program's windows: activated from outside (the taskbar, Alt+Tab),
    // the window hands the activation on to the box once this is over.
    PostMessageW(window, kBringBoxForward, 0, 0);
    return true;
}

void MessageBoxes::mousePressed(HWND window, UINT mouseMessage) const {
    if (!IsWindowEnabled(window) && (mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_RBUTTONDOWN ||
                                     mouseMessage == WM_MBUTTONDOWN)) {
        // A press on a window that a message box keeps out of reach brings the box forward.
        bringForward();
    }
}

// A box without an owner can end up under a window of the program that is raised while it is up, and
// the user then sees only a window that does not react. The box belongs to the window the user works
// in, else to the program's window nearest the top; with no window visible (during the start-up) it
// has none. A box opened while another is up belongs to that one.
HWND MessageBoxes::owner() const {
    if (open()) {
        return frontMessageBox();
    }
    if (HWND active = GetActiveWindow(); isShownWindow(active)) {
        return active;
    }
    return topShownWindow();
}

bool MessageBoxes::isShownWindow(HWND h) const {
    return h != nullptr && IsWindowVisible(h) &&
           std::find(windows_.begin(), windows_.end(), h) != windows_.end();
}

HWND MessageBoxes::topShownWindow() const {
    for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
        if (isShownWindow(h)) {
            return h;
        }
    }
    return nullptr;
}

// The user expects the program's window in front to take over, not the taskbar or a minimised window.
void MessageBoxes::keepActivationInProgram() const {
    if (open() || isShownWindow(GetActiveWindow())) {
        return;
    }
    if (HWND top = topShownWindow(); top != nullptr && !IsIconic(top)) {
        SetForegroundWindow(top);
    }
}

void MessageBoxes::bringForward() const {
    if (HWND box = frontMessageBox()) {
        SetWindowPos(box, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(box);
    }
}

ui::MessageAnswer MessageBoxes::show(const std::string& text, ui::MessageButtons buttons) {
    UINT type = MB_TASKMODAL | MB_SETFOREGROUND |
                (buttons == ui::MessageButtons::YesNo ? MB_YESNO | MB_DEFBUTTON1 : MB_OK);
    HWND boxOwner = owner();
    // The box disables its owner itself, and gives it back the activation when it closes; every other
    // window of the program is kept out of reach here, and so is any window shown while the box is up.
    ++openBoxes_;
    for (HWND w : windows_) {
        if (w != boxOwner) {
            EnableWindow(w, FALSE);
        }
    }
    int result = MessageBoxW(boxOwner, widen(text).c_str(), L"Kolbrin", type);
    if (--openBoxes_ == 0) {
        for (HWND w : windows_) {
            EnableWindow(w, TRUE);
        }
        keepActivationInProgram();
    }
    if (buttons == ui::MessageButtons::Ok) {
        return ui::MessageAnswer::Ok;
    }
    return result == IDYES ? ui::MessageAnswer::Yes : ui::MessageAnswer::No;
}

}  // namespace win32
