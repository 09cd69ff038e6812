#include "platform/win32/backend.h"

#include <commctrl.h>

#include "platform/win32/banner.h"
#include "platform/win32/form_window.h"
#include "platform/win32/resources.h"
#include "platform/win32/text.h"

namespace win32 {

namespace {

int screenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

Backend::Backend(HINSTANCE instance)
    : instance_(instance),
      dpi_(screenDpi()),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")),
      bigIcon_(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kMainIconId), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0))),
      smallIcon_(
          static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kMainIconId), IMAGE_ICON,
                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0))),
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

ui::MessageAnswer Backend::messageBox(const std::string& text, ui::MessageButtons buttons) {
    UINT type = MB_TASKMODAL | MB_SETFOREGROUND |
                (buttons == ui::MessageButtons::YesNo ? MB_YESNO | MB_DEFBUTTON1 : MB_OK);
    int result = MessageBoxW(nullptr, widen(text).c_str(), L"Kolbrin", type);
    if (buttons == ui::MessageButtons::Ok) {
        return ui::MessageAnswer::Ok;
    }
    return result == IDYES ? ui::MessageAnswer::Yes : ui::MessageAnswer::No;
}

std::uintptr_t Backend::mainIconHandle() {
    return reinterpret_cast<std::uintptr_t>(bigIcon_.get());
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
