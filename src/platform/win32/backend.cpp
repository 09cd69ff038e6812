#include "platform/win32/backend.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "platform/win32/banner.h"
#include "platform/win32/dpi.h"
#include "platform/win32/form_window.h"
#include "platform/win32/icons.h"
#include "platform/win32/resources.h"
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

Backend::Backend(HINSTANCE instance)
    : instance_(instance),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")),
      hand_(LoadCursorW(instance, MAKEINTRESOURCEW(kHandCursorId))),
      banner_(createBannerMetafile()) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    FormWindow::registerClasses(instance);
}

Backend::~Backend() = default;

std::unique_ptr<ui::WindowPeer> Backend::createPeer(ui::Form& form) {
    return std::make_unique<FormWindow>(*this, form);
}

void Backend::retirePeer(std::unique_ptr<ui::WindowPeer> peer) {
    static_cast<FormWindow&>(*peer).destroy();
    retired_.push_back(std::move(peer));
}

void Backend::windowCreated(FormWindow& window) {
    windows_.push_back(&window);
}

void Backend::windowDestroyed(FormWindow& window) {
    std::erase(windows_, &window);
}

// A box without an owner can end up under a window of the program that is raised while it is up, and
// the user then sees only a window that does not react. The box belongs to the window the user works
// in, else to the program's window nearest the top; with no window visible (during the start-up) it
// has none. A box opened while another is up belongs to that one.
HWND Backend::boxOwner() const {
    if (openBoxes_ > 0) {
        return frontMessageBox();
    }
    if (HWND active = GetActiveWindow(); isShownWindow(active)) {
        return active;
    }
    return topShownWindow();
}

bool Backend::isShownWindow(HWND h) const {
    return h != nullptr && IsWindowVisible(h) &&
           std::any_of(windows_.begin(), windows_.end(), [h](FormWindow* w) { return w->hwnd() == h; });
}

HWND Backend::topShownWindow() const {
    for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
        if (isShownWindow(h)) {
            return h;
        }
    }
    return nullptr;
}

// When the active window goes (its box closed, or it was unloaded) the system picks the next one by its
// own rules, which can be the taskbar or a minimised window; the user expects the program's window in
// front to take over.
void Backend::keepActivationInProgram() const {
    if (openBoxes_ > 0 || isShownWindow(GetActiveWindow())) {
        return;
    }
    if (HWND top = topShownWindow(); top != nullptr && !IsIconic(top)) {
        SetForegroundWindow(top);
    }
}

void Backend::bringMessageBoxForward() const {
    if (HWND box = frontMessageBox()) {
        SetWindowPos(box, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(box);
    }
}

ui::MessageAnswer Backend::messageBox(const std::string& text, ui::MessageButtons buttons) {
    UINT type = MB_TASKMODAL | MB_SETFOREGROUND |
                (buttons == ui::MessageButtons::YesNo ? MB_YESNO | MB_DEFBUTTON1 : MB_OK);
    HWND owner = boxOwner();
    // The box disables its owner itself, and gives it back the activation when it closes; every other
    // window of the program is kept out of reach here, and so is any window shown while the box is up.
    ++openBoxes_;
    for (FormWindow* w : windows_) {
        if (w->hwnd() != owner) {
            EnableWindow(w->hwnd(), FALSE);
        }
    }
    int result = MessageBoxW(owner, widen(text).c_str(), L"Kolbrin", type);
    if (--openBoxes_ == 0) {
        for (FormWindow* w : windows_) {
            EnableWindow(w->hwnd(), TRUE);
        }
        keepActivationInProgram();
    }
    if (buttons == ui::MessageButtons::Ok) {
        return ui::MessageAnswer::Ok;
    }
    return result == IDYES ? ui::MessageAnswer::Yes : ui::MessageAnswer::No;
}

HICON Backend::icon(bool small, int dpi) const {
    UniqueIcon& loaded = icons_[{small, dpi}];
    if (!loaded) {
        loaded.reset(loadMainIcon(instance_, small, dpi));
    }
    return loaded.get();
}

// The notification area shows the small icon, at the DPI of the primary monitor that holds the taskbar.
std::uintptr_t Backend::mainIconHandle() {
    return reinterpret_cast<std::uintptr_t>(icon(true, systemDpi()));
}

void Backend::endProgram() {
    ExitProcess(0);
}

int Backend::run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        retired_.clear();
        HWND active = GetActiveWindow();
        if (active != nullptr && IsDialogMessageW(active, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace win32
