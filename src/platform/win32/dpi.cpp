#include "platform/win32/dpi.h"

#include "platform/win32/handles.h"
#include "platform/win32/system_calls.h"

namespace win32 {

int systemDpi() {
    // Fixed for the session: a change of the system's scale takes effect at the next sign-in.
    static const int dpi = [] {
        ScopedGetDC screen(nullptr);
        int perInch = GetDeviceCaps(screen.get(), LOGPIXELSY);
        return perInch > 0 ? perInch : 96;
    }();
    return dpi;
}

int dpiOf(HWND window) {
    if (systemCalls().getDpiForWindow != nullptr && window != nullptr) {
        UINT dpi = systemCalls().getDpiForWindow(window);
        if (dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    return systemDpi();
}

int monitorDpiOf(HWND window) {
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    UINT x = 0, y = 0;
    if (const auto forMonitor = systemCalls().getDpiForMonitor;
        forMonitor != nullptr &&
        SUCCEEDED(forMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &x, &y)) &&
        y > 0) {
        return static_cast<int>(y);
    }
    return dpiOf(window);
}

RECT windowRectFor(RECT client, DWORD style, bool hasMenu, DWORD exStyle, int dpi) {
    RECT r = client;
    const auto adjustForDpi = systemCalls().adjustWindowRectExForDpi;
    if (adjustForDpi == nullptr || !adjustForDpi(&r, style, hasMenu, exStyle, static_cast<UINT>(dpi))) {
        r = client;
        AdjustWindowRectEx(&r, style, hasMenu, exStyle);
    }
    return r;
}

LOGFONTW tooltipFontAt(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const auto parametersForDpi = systemCalls().systemParametersInfoForDpi;
    if (parametersForDpi != nullptr &&
        parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
        return metrics.lfStatusFont;
    }
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    // The system's own metrics are for the system DPI.
    metrics.lfStatusFont.lfHeight = MulDiv(metrics.lfStatusFont.lfHeight, dpi, systemDpi());
    return metrics.lfStatusFont;
}

}  // namespace win32
