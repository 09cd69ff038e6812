// The DPI of each window. Windows 10 (version 1607 on) tells a window the DPI of the monitor it is on and
// sends WM_DPICHANGED when that changes; older systems have one DPI for the whole session. The newer
// calls are looked up at run time, so the same program starts on both.
#pragma once

#include <windows.h>

namespace win32 {

// The session's DPI: what every window has on a system without per-monitor DPI.
int systemDpi();
// The DPI the window is laid out for: that of its monitor where the system knows it, else the system's.
int dpiOf(HWND window);
// The DPI of the monitor the window is on now. A hidden window is told of no change of its monitor's DPI,
// so its own DPI can be out of date.
int monitorDpiOf(HWND window);
// The outer rectangle of a window whose client area is `client`, at the given DPI.
RECT windowRectFor(RECT client, DWORD style, bool hasMenu, DWORD exStyle, int dpi);
// The font the system uses for tooltips (its status font), at the given DPI.
LOGFONTW tooltipFontAt(int dpi);

}  // namespace win32
