// The program's icon at the size the system shows it.
#pragma once

#include <windows.h>

namespace win32 {

// The side in pixels of the small (title bar, notification area) or big icon at a DPI: 16, 20, 24 and
// 32 for the small one at 100, 125, 150 and 200 %.
int iconSizeAt(bool small, int dpi);
// The program's icon loaded at that size, so that the image drawn for it is used rather than another
// one resampled. The caller owns the handle.
HICON loadMainIcon(HINSTANCE instance, bool small, int dpi);

}  // namespace win32
