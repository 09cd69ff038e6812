#include "platform/win32/icons.h"

#include "platform/win32/dpi.h"
#include "platform/win32/resources.h"
#include "platform/win32/system_calls.h"

namespace win32 {

int iconSizeAt(bool small, int dpi) {
    // Windows 10 (1607 on) knows the metrics of every DPI; before, the session has one DPI and the
    // metrics are its own.
    const auto forDpi = systemCalls().getSystemMetricsForDpi;
    const int metric = small ? SM_CXSMICON : SM_CXICON;
    int size = forDpi != nullptr ? forDpi(metric, static_cast<UINT>(dpi)) : 0;
    if (size <= 0) {
        size = MulDiv(GetSystemMetrics(metric), dpi, systemDpi());
    }
    return size > 0 ? size : (small ? 16 : 32);
}

HICON loadMainIcon(HINSTANCE instance, bool small, int dpi) {
    const int size = iconSizeAt(small, dpi);
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kMainIconId), IMAGE_ICON, size, size, 0));
}

}  // namespace win32
