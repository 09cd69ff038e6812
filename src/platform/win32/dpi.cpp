#include "platform/win32/dpi.h"

namespace win32 {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

// The per-monitor calls of user32, or null where this system lacks them.
struct PerMonitorCalls {
    GetDpiForWindowFn getDpiForWindow = nullptr;
    AdjustWindowRectExForDpiFn adjustWindowRectExForDpi = nullptr;
    SystemParametersInfoForDpiFn systemParametersInfoForDpi = nullptr;

    PerMonitorCalls() {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (user32 == nullptr) {
            return;
        }
        getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
        adjustWindowRectExForDpi = reinterpret_cast<AdjustWindowRectExForDpiFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "AdjustWindowRectExForDpi")));
        systemParametersInfoForDpi = reinterpret_cast<SystemParametersInfoForDpiFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SystemParametersInfoForDpi")));
    }
};

const PerMonitorCalls& calls() {
    static const PerMonitorCalls lookedUp;  // the same for the whole process: user32 never changes
    return lookedUp;
}

}  // namespace

int systemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int dpiOf(HWND window) {
    if (calls().getDpiForWindow != nullptr && window != nullptr) {
        UINT dpi = calls().getDpiForWindow(window);
        if (dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    return systemDpi();
}

RECT windowRectFor(RECT client, DWORD style, bool hasMenu, DWORD exStyle, int dpi) {
    RECT r = client;
    if (calls().adjustWindowRectExForDpi == nullptr ||
        !calls().adjustWindowRectExForDpi(&r, style, hasMenu, exStyle, static_cast<UINT>(dpi))) {
        r = client;
        AdjustWindowRectEx(&r, style, hasMenu, exStyle);
    }
    return r;
}

LOGFONTW tooltipFontAt(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (calls().systemParametersInfoForDpi != nullptr &&
        calls().systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                           static_cast<UINT>(dpi))) {
        return metrics.lfStatusFont;
    }
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    // The system's own metrics are for the system DPI.
    metrics.lfStatusFont.lfHeight = MulDiv(metrics.lfStatusFont.lfHeight, dpi, systemDpi());
    return metrics.lfStatusFont;
}

}  // namespace win32
