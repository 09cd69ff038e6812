#include "platform/win32/icons.h"

#include "platform/win32/dpi.h"
#include "platform/win32/resources.h"

namespace win32 {

namespace {

using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

}  // namespace

int iconSizeAt(bool small, int dpi) {
    // Windows 10 (1607 on) knows the metrics of every DPI; before, the session has one DPI and the
    // metrics are its own.
    static const auto forDpi = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        return user32 == nullptr ? nullptr
                                 : reinterpret_cast<GetSystemMetricsForDpiFn>(reinterpret_cast<void*>(
                                       GetProcAddress(user32, "GetSystemMetricsForDpi")));
    }();
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
