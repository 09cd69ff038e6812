#include "platform/win32/focus_cues.h"

#include "platform/win32/handles.h"

namespace win32 {

namespace {

// The user's setting to underline access keys and show the focus at all times (Ease of Access).
bool cuesAlwaysShown() {
    BOOL on = FALSE;
    return SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &on, 0) && on;
}

}  // namespace

void FocusCues::start(HWND window) {
    alwaysShown_ = cuesAlwaysShown();
    hidden_ = !alwaysShown_ && (SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
}

bool FocusCues::apply(WPARAM wp, bool keyboardUsedLast) {
    if ((HIWORD(wp) & UISF_HIDEFOCUS) == 0) {
        return false;
    }
    bool hidden = hidden_;
    switch (LOWORD(wp)) {
        case UIS_SET:
            hidden = !alwaysShown_;  // a user who asked for the cues at all times keeps them
            break;
        case UIS_CLEAR:
            hidden = false;
            break;
        case UIS_INITIALIZE:
            alwaysShown_ = cuesAlwaysShown();
            hidden = !alwaysShown_ && !keyboardUsedLast;
            break;
    }
    const bool changed = hidden != hidden_;
    hidden_ = hidden;
    return changed;
}

void drawFocusFrame(HDC dc, const RECT& r, int thickness, bool highContrast) {
    const int t = thickness;
    if (t <= 0 || r.right - r.left <= 2 * t || r.bottom - r.top <= 2 * t) {
        return;
    }
    const RECT sides[] = {{r.left, r.top, r.right, r.top + t},
                          {r.left, r.bottom - t, r.right, r.bottom},
                          {r.left, r.top + t, r.left + t, r.bottom - t},
                          {r.right - t, r.top + t, r.right, r.bottom - t}};
    if (highContrast) {
        UniqueBrush highlight(CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT)));
        for (const RECT& side : sides) {
            FillRect(dc, &side, highlight.get());
        }
        return;
    }
    // A monochrome pattern brush paints its 0 bits in the text colour and its 1 bits in the back colour:
    // black leaves a pixel as it is under PATINVERT, white inverts it.
    static constexpr WORD kEveryOtherPixel[8] = {0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa};
    Unique<HBITMAP, CloseGdi> pattern(CreateBitmap(8, 8, 1, 1, kEveryOtherPixel));
    UniqueBrush dots(CreatePatternBrush(pattern.get()));
    ScopedSelect selected(dc, dots.get());
    ScopedTextColours colours(dc, RGB(0, 0, 0), OPAQUE);
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    for (const RECT& side : sides) {
        PatBlt(dc, side.left, side.top, side.right - side.left, side.bottom - side.top, PATINVERT);
    }
    SetBkColor(dc, oldBack);
}

}  // namespace win32
