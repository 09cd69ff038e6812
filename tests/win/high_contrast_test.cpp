// High contrast, as painted: every window's text stands out from its background in the system's colours,
// and with high contrast off the windows keep their own colours. Wine never reports high contrast, so the
// test decides it through the backend and sets the colours of a dark high-contrast theme itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "e2e/driver.h"
#include "info/info_window.h"
#include "optimize/form4.h"
#include "platform/win32/backend.h"
#include "platform/win32/dpi.h"
#include "platform/win32/text.h"
#include "scan/form7.h"
#include "settings/form6.h"
#include "settle.h"
#include "ui/form.h"
#include "ui/scale.h"

namespace {

using namespace ui;
using namespace win_tests;

// The system colours of the dark high-contrast theme (「ハイ コントラスト 黒」): the window and its text, the
// button face and its text, the highlight, grey text and the three-dimensional edges.
constexpr int kIndices[] = {COLOR_WINDOW,    COLOR_WINDOWTEXT, COLOR_BTNFACE,   COLOR_BTNTEXT,
                            COLOR_HIGHLIGHT, COLOR_GRAYTEXT,   COLOR_3DHILIGHT, COLOR_3DLIGHT,
                            COLOR_3DSHADOW,  COLOR_3DDKSHADOW};
constexpr COLORREF kHighContrastBlack[] = {
    RGB(0, 0, 0),     RGB(255, 255, 255), RGB(0, 0, 0),       RGB(255, 255, 255), RGB(26, 235, 255),
    RGB(63, 242, 63), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
constexpr int kCount = static_cast<int>(std::size(kIndices));
static_assert(std::size(kHighContrastBlack) == std::size(kIndices));

// The theme's colours on request, and the prefix's own ones again however the test ends.
class ThemeColours {
  public:
    ThemeColours() { std::transform(std::begin(kIndices), std::end(kIndices), saved_, GetSysColor); }
    ~ThemeColours() { normal(); }
    void highContrast() { SetSysColors(kCount, kIndices, kHighContrastBlack); }
    void normal() { SetSysColors(kCount, kIndices, saved_); }

  private:
    COLORREF saved_[kCount];
};

double luminance(COLORREF c) {
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(GetRValue(c)) + 0.7152 * channel(GetGValue(c)) + 0.0722 * channel(GetBValue(c));
}

double contrast(COLORREF a, COLORREF b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a control's text is painted on, and in: the commonest colour of the part that holds the text, and
// the commonest other one.
struct Painted {
    COLORREF back = CLR_INVALID;
    COLORREF text = CLR_INVALID;
};

Painted paintedIn(const RECT& area) {
    const e2e::Pixels pixels = e2e::screenPixels(area);
    std::map<COLORREF, int> counts;
    for (COLORREF c : pixels.at) {
        ++counts[c];
    }
    Painted p;
    int backCount = 0, textCount = 0;
    for (const auto& [colour, count] : counts) {
        if (count > backCount) {
            p.text = p.back;
            textCount = backCount;
            p.back = colour;
            backCount = count;
        } else if (count > textCount) {
            p.text = colour;
            textCount = count;
        }
    }
    return p;
}

// The part of a control that holds its text, on the screen: without the edges, the check mark, and of a
// frame only its caption.
RECT textArea(Form& form, const Control& c, const Scale& scale) {
    HWND h = child(form, c.name(), c.index());
    RECT r;
    GetWindowRect(h, &r);
    switch (c.kind()) {
        case ControlKind::Button:
        case ControlKind::TextBox:
            InflateRect(&r, -scale.pixels(3), -scale.pixels(3));
            break;
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
            r.left += scale.pixels(17);
            break;
        case ControlKind::Frame: {
            HDC dc = GetDC(h);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
            std::wstring caption = win32::widen(c.caption);
            SIZE extent{};
            GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
            SelectObject(dc, old);
            ReleaseDC(h, dc);
            r.left += scale.pixels(8);
            r.right = r.left + extent.cx;
            r.bottom = r.top + extent.cy;
            break;
        }
        default:
            break;
    }
    return r;
}

bool showsText(const Control& c) {
    switch (c.kind()) {
        case ControlKind::PictureBox:
        case ControlKind::Image:
            return false;
        default:
            return !c.caption.empty() && c.visible;
    }
}

// The colour a control's text stands on in the design, where the design gives one.
std::optional<COLORREF> designBack(const Form& form, const Control& c) {
    const Colour& own = c.design->back;
    const Colour& back = own.kind != Colour::Kind::Default || c.kind() == ControlKind::Button ||
                                 c.kind() == ControlKind::TextBox
                             ? own
                             : form.design().back;
    if (back.kind != Colour::Kind::Rgb) {
        return std::nullopt;
    }
    return RGB(back.rgb.r, back.rgb.g, back.rgb.b);
}

const FormDesign* const kWindows[] = {
    &app::form1Design(),      &info::form2Design(), &info::form3Design(), &optimize::form4Design(),
    &settings::form6Design(), &scan::form7Design(), &info::form10Design()};

TEST(HighContrast, EveryWindowsTextStandsOutAndNormalColoursStayTheDesigns) {
    win32::Backend backend(GetModuleHandleW(nullptr));
    ThemeColours theme;
    for (const FormDesign* design : kWindows) {
        SCOPED_TRACE(design->name);
        Plain form(backend, *design);
        form.show();
        HWND window = GetAncestor(
            child(form, form.controls().front().name(), form.controls().front().index()), GA_ROOT);
        SetForegroundWindow(window);
        const Scale scale(Unit::Pixels, win32::dpiOf(window));

        // Off, on, and off again: each change is followed at once.
        for (bool on : {false, true, false}) {
            on ? theme.highContrast() : theme.normal();
            backend.overrideHighContrast(on);
            SendMessageW(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
            settle(window);
            if (on && design->name == "Form6") {
                e2e::screenshot("high-contrast-Form6");
            }
            for (const Control& c : form.controls()) {
                if (!showsText(c)) {
                    continue;
                }
                const Painted p = paintedIn(textArea(form, c, scale));
                std::string what = c.name() + "(" + std::to_string(c.index()) + (on ? ") on" : ") off");
                if (on) {
                    EXPECT_GE(contrast(p.back, p.text), 4.5)
                        << what << ": " << std::hex << p.text << " on " << p.back;
                    EXPECT_EQ(p.back, c.kind() == ControlKind::Button ? GetSysColor(COLOR_BTNFACE)
                                                                      : GetSysColor(COLOR_WINDOW))
                        << what;
                } else if (auto back = designBack(form, c)) {
                    EXPECT_EQ(p.back, *back) << what << ": " << std::hex << p.back;
                }
            }
        }
        form.unload();
    }
    backend.overrideHighContrast(std::nullopt);
}

}  // namespace
