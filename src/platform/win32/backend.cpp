#include "platform/win32/backend.h"

#include "platform/win32/banner.h"
#include "platform/win32/dpi.h"
#include "platform/win32/form_class.h"
#include "platform/win32/form_window.h"
#include "platform/win32/icons.h"
#include "platform/win32/resources.h"
#include "platform/win32/system_calls.h"

namespace win32 {

namespace {

HINSTANCE withCommonControls(HINSTANCE instance) {
    loadSystemLibraries();
    return instance;
}

}  // namespace

Backend::Backend(HINSTANCE instance)
    : instance_(withCommonControls(instance)),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")),
      hand_(LoadCursorW(instance, MAKEINTRESOURCEW(kHandCursorId))),
      banner_(createBannerMetafile()) {
    registerPaintedChildClass(instance);
}

Backend::~Backend() = default;

std::unique_ptr<ui::WindowPeer> Backend::createPeer(ui::Form& form) {
    return std::make_unique<FormWindow>(*this, form);
}

void Backend::retirePeer(std::unique_ptr<ui::WindowPeer> peer) {
    static_cast<FormWindow&>(*peer).destroy();
    retired_.push_back(std::move(peer));
}

// A program that has given up asks nothing more: a box would close at once on the quit message, and its
// answer, not the user's, would decide what happens next.
ui::MessageAnswer Backend::messageBox(const std::string& text, ui::MessageButtons buttons) {
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    const ui::MessageAnswer answer = boxes_.show(text, buttons);
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    return answer;
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

bool Backend::highContrast() const {
    if (highContrastOverride_) {
        return *highContrastOverride_;
    }
    HIGHCONTRASTW hc{sizeof hc};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

// The device used last decides whether a window that opens shows its focus cues; moving the focus with
// the keyboard (Tab, the arrows) or pressing Alt shows them in the window it happens in. Windows sends the
// same request itself after Tab and Alt, where the system keeps the state at all; a second one changes
// nothing.
void Backend::noteInput(const MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            keyboardUsedLast_ = true;
            const bool moves = msg.wParam == VK_TAB || (msg.wParam >= VK_LEFT && msg.wParam <= VK_DOWN) ||
                               msg.wParam == VK_MENU;
            if (moves && msg.hwnd != nullptr) {
                SendMessageW(GetAncestor(msg.hwnd, GA_ROOT), WM_CHANGEUISTATE,
                             MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
            }
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
            keyboardUsedLast_ = false;
            break;
    }
}

void Backend::abandon(std::exception_ptr failure) {
    if (!failure_) {
        failure_ = std::move(failure);
        PostQuitMessage(1);
    }
}

int Backend::run() {
    MSG msg;
    while (!failure_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        retired_.clear();
        noteInput(msg);
        HWND active = GetActiveWindow();
        if (active != nullptr && IsDialogMessageW(active, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    return 0;
}

}  // namespace win32
