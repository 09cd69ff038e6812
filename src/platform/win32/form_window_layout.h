// A form window's size from its design (the rest of its layout is FormWindow's own, in the same file):
// first estimated from the system's metrics, then corrected by measuring the window, since the menu bar
// may wrap into more lines, or the frame may not scale with the DPI, where the estimate assumed otherwise.
#pragma once

#include <windows.h>

#include "ui/design.h"
#include "ui/scale.h"

namespace win32 {

// The outer size of the window with the design's client area at a DPI, as the system's metrics give it.
SIZE estimatedWindowSize(HWND window, const ui::FormDesign& design, bool hasMenu, int dpi);
// Corrects the size where the client area is not the design's at the scale; a window of the right size
// is not touched.
void fitClientToDesign(HWND window, const ui::FormDesign& design, const ui::Scale& scale);

}  // namespace win32
