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

ui::MessageAnswer Backend::messageBox(const std::string& text, ui::MessageButtons buttons) {
    return boxes_.show(text, buttons);
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
