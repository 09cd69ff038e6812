#pragma once

#include <windows.h>

namespace win32 {

// The About window's banner: a drawing of filled outline shapes, 268 x 43 at 96 dpi, recorded as an
// enhanced metafile so that it scales cleanly at any DPI.
HENHMETAFILE createBannerMetafile();

}  // namespace win32
