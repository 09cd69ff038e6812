#include "platform/win32/banner.h"

#include <array>
#include <initializer_list>
#include <vector>

#include "platform/win32/handles.h"

namespace win32 {

namespace {

// The drawing is recorded in tenths of a pixel, so that its shapes keep their exact form when the
// picture is played back larger than 268 x 43 on a high-DPI screen.
constexpr int kWidth = 268, kHeight = 43;
constexpr int kSub = 10;

using UniquePen = Unique<HPEN, CloseGdi>;

struct Pt {
    double x, y;
};
using Outline = std::vector<Pt>;

// One filled shape, possibly with holes (every outline after the first cuts one out).
struct Shape {
    std::vector<Outline> outlines;
};

void fillShape(HDC dc, const Shape& shape, double x, double y, double unit, COLORREF fill, COLORREF edge,
               double edgeWidth) {
    std::vector<POINT> points;
    std::vector<INT> counts;
    for (const Outline& o : shape.outlines) {
        for (const Pt& p : o) {
            points.push_back(
                {static_cast<LONG>((x + p.x * unit) * kSub), static_cast<LONG>((y + p.y * unit) * kSub)});
        }
        counts.push_back(static_cast<INT>(o.size()));
    }
    UniqueBrush brush(CreateSolidBrush(fill));
    UniquePen pen(CreatePen(PS_SOLID, static_cast<int>(edgeWidth * kSub), edge));
    ScopedSelect selectBrush(dc, brush.get());
    ScopedSelect selectPen(dc, pen.get());
    PolyPolygon(dc, points.data(), counts.data(), static_cast<int>(counts.size()));
}

void fillRect(HDC dc, double left, double top, double right, double bottom, COLORREF fill, COLORREF edge,
              double edgeWidth = 1) {
    Shape box{{{{left, top}, {right, top}, {right, bottom}, {left, bottom}}}};
    fillShape(dc, box, 0, 0, 1, fill, edge, edgeWidth);
}

// The program's name as block letters on a grid ten units high; B, O and R carry their counters as holes.
struct Letter {
    Shape shape;
    double width;
};

const std::array<Letter, 7>& logotype() {
    static const std::array<Letter, 7> letters{{
        {{{{{0, 0},
            {2, 0},
            {2, 4},
            {5, 0},
            {7.3, 0},
            {3.6, 5},
            {7.3, 10},
            {5, 10},
            {2, 6},
            {2, 10},
            {0, 10}}}},
         7.3},
        {{{{{1.5, 0}, {5.5, 0}, {7, 1.5}, {7, 8.5}, {5.5, 10}, {1.5, 10}, {0, 8.5}, {0, 1.5}},
           {{2, 2}, {5, 2}, {5, 8}, {2, 8}}}},
         7},
        {{{{{0, 0}, {2, 0}, {2, 8}, {6.5, 8}, {6.5, 10}, {0, 10}}}}, 6.5},
        {{{{{0, 0}, {5.5, 0}, {7, 1.5}, {7, 3.5}, {6, 5}, {7, 6.5}, {7, 8.5}, {5.5, 10}, {0, 10}},
           {{2, 2}, {5, 2}, {5, 4}, {2, 4}},
           {{2, 6}, {5, 6}, {5, 8}, {2, 8}}}},
         7},
        {{{{{0, 0},
            {5.5, 0},
            {7, 1.5},
            {7, 4.5},
            {5.6, 5.8},
            {7.3, 10},
            {5.1, 10},
            {3.6, 6},
            {2, 6},
            {2, 10},
            {0, 10}},
           {{2, 2}, {5, 2}, {5, 4}, {2, 4}}}},
         7.3},
        {{{{{0, 0},
            {6, 0},
            {6, 2},
            {4, 2},
            {4, 8},
            {6, 8},
            {6, 10},
            {0, 10},
            {0, 8},
            {2, 8},
            {2, 2},
            {0, 2}}}},
         6},
        {{{{{0, 0}, {2, 0}, {5, 5.6}, {5, 0}, {7, 0}, {7, 10}, {5, 10}, {2, 4.4}, {2, 10}, {0, 10}}}}, 7},
    }};
    return letters;
}

void drawBackground(HDC dc) {
    // A night-blue sky in bands, lighter towards the horizon.
    constexpr int kBands = 8;
    for (int i = 0; i < kBands; ++i) {
        auto shade = static_cast<BYTE>(24 + i * 12);
        COLORREF c = RGB(shade / 2, shade / 2 + 8, shade + 48);
        double top = kHeight * i / double(kBands), bottom = kHeight * (i + 1) / double(kBands);
        fillRect(dc, 0, top, kWidth, bottom, c, c, 0.1);
    }
    // Two waves sweeping across, the lower one brighter.
    Shape farWave{
        {{{0, 43}, {0, 30}, {34, 24}, {70, 31}, {120, 22}, {170, 30}, {220, 20}, {268, 27}, {268, 43}}}};
    fillShape(dc, farWave, 0, 0, 1, RGB(40, 72, 150), RGB(96, 140, 220), 1);
    Shape nearWave{{{{0, 43}, {0, 37}, {50, 33}, {100, 39}, {150, 34}, {200, 38}, {268, 32}, {268, 43}}}};
    fillShape(dc, nearWave, 0, 0, 1, RGB(64, 112, 200), RGB(160, 200, 255), 1);
}

// A memory chip with a lightning bolt: the optimizer at work.
void drawEmblem(HDC dc) {
    const COLORREF pin = RGB(200, 200, 210), pinEdge = RGB(70, 70, 90);
    for (int i = 0; i < 4; ++i) {
        double left = 12 + i * 7;
        fillRect(dc, left, 4, left + 3.5, 9, pin, pinEdge, 0.8);
        fillRect(dc, left, 34, left + 3.5, 39, pin, pinEdge, 0.8);
    }
    Shape body{{{{9, 9}, {41, 9}, {43, 11}, {43, 32}, {41, 34}, {9, 34}, {7, 32}, {7, 11}}}};
    fillShape(dc, body, 0, 0, 1, RGB(36, 36, 44), RGB(150, 150, 170), 1.2);
    Shape bolt{{{{27, 11}, {16, 23}, {23, 23}, {19, 32.5}, {33, 19}, {25.5, 19}, {30, 11}}}};
    fillShape(dc, bolt, 0, 0, 1, RGB(255, 214, 0), RGB(230, 110, 0), 1);
}

void drawLogotype(HDC dc) {
    constexpr double kUnit = 2.6, kGap = 1.6, kTop = 6;
    double x = 56;
    for (const Letter& letter : logotype()) {
        fillShape(dc, letter.shape, x + 1.6, kTop + 1.6, kUnit, RGB(10, 14, 40), RGB(10, 14, 40), 1);
        fillShape(dc, letter.shape, x, kTop, kUnit, RGB(232, 244, 255), RGB(0, 70, 170), 1.2);
        x += (letter.width + kGap) * kUnit;
    }
}

// A level meter climbing to the right.
void drawMeter(HDC dc) {
    const std::initializer_list<COLORREF> colours = {RGB(0, 200, 120), RGB(120, 220, 60), RGB(250, 210, 40),
                                                     RGB(255, 120, 40)};
    double left = 220;
    double height = 8;
    for (COLORREF c : colours) {
        fillRect(dc, left, 33 - height, left + 7, 33, c, RGB(20, 30, 60), 1);
        left += 10;
        height += 6;
    }
}

void drawBorder(HDC dc) {
    UniquePen pen(CreatePen(PS_SOLID, kSub, RGB(10, 20, 60)));
    ScopedSelect selectPen(dc, pen.get());
    ScopedSelect selectBrush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, kSub / 2, kSub / 2, kWidth * kSub - kSub / 2, kHeight * kSub - kSub / 2);
}

}  // namespace

HENHMETAFILE createBannerMetafile() {
    HDC dc = nullptr;
    {
        ScopedGetDC screen(nullptr);
        // The frame is in 0.01 mm: the picture's natural size is 268 x 43 pixels of the reference screen.
        HDC s = screen.get();
        int mmPerPixelX100 = MulDiv(GetDeviceCaps(s, HORZSIZE), 100, GetDeviceCaps(s, HORZRES));
        int mmPerPixelY100 = MulDiv(GetDeviceCaps(s, VERTSIZE), 100, GetDeviceCaps(s, VERTRES));
        RECT frame{0, 0, kWidth * mmPerPixelX100, kHeight * mmPerPixelY100};
        dc = CreateEnhMetaFileW(s, nullptr, &frame, L"Kolbrin\0Banner\0");
    }
    if (dc == nullptr) {
        return nullptr;
    }
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, kWidth * kSub, kHeight * kSub, nullptr);
    SetViewportExtEx(dc, kWidth, kHeight, nullptr);
    SetPolyFillMode(dc, ALTERNATE);

    drawBackground(dc);
    drawEmblem(dc);
    drawLogotype(dc);
    drawMeter(dc);
    drawBorder(dc);
    return CloseEnhMetaFile(dc);
}

}  // namespace win32
