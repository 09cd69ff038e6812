#include "platform/win32/banner.h"

namespace win32 {

HENHMETAFILE createBannerMetafile() {
    HDC screen = GetDC(nullptr);
    int mmPerPixelX100 = MulDiv(GetDeviceCaps(screen, HORZSIZE), 100, GetDeviceCaps(screen, HORZRES));
    int mmPerPixelY100 = MulDiv(GetDeviceCaps(screen, VERTSIZE), 100, GetDeviceCaps(screen, VERTRES));
    RECT frame{0, 0, 268 * mmPerPixelX100, 43 * mmPerPixelY100};  // in 0.01 mm
    HDC dc = CreateEnhMetaFileW(screen, nullptr, &frame, L"Kolbrin\0Banner\0");
    ReleaseDC(nullptr, screen);

    HBRUSH band = CreateSolidBrush(RGB(64, 64, 160));
    RECT all{0, 0, 268, 43};
    FillRect(dc, &all, band);
    DeleteObject(band);
    HBRUSH wave = CreateSolidBrush(RGB(128, 128, 255));
    HPEN edge = CreatePen(PS_SOLID, 2, RGB(255, 255, 255));
    HGDIOBJ oldBrush = SelectObject(dc, wave);
    HGDIOBJ oldPen = SelectObject(dc, edge);
    POINT hill[] = {{0, 43}, {40, 18}, {80, 30}, {130, 8}, {180, 26}, {230, 12}, {268, 22}, {268, 43}};
    Polygon(dc, hill, static_cast<int>(sizeof hill / sizeof hill[0]));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(wave);
    DeleteObject(edge);
    return CloseEnhMetaFile(dc);
}

}  // namespace win32
