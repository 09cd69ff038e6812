// A window moved to a monitor of another DPI: the system sends WM_DPICHANGED (Wine never does, so the test
// sends it) and every control must be laid out again from the design at the new DPI, keeping its state.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
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
#include "ui/form.h"

namespace {

using namespace ui;

// A window built from a design alone, without the handlers of the program's own window.
class Plain : public Form {
  public:
    using Form::Form;
};

HWND child(Form& form, std::string_view name, int index = kNoIndex) {
    return reinterpret_cast<HWND>(form.nativeHandle(form.control(name, index)));
}

RECT rectInParent(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string textOf(HWND h) {
    wchar_t buffer[256] = {};
    GetWindowTextW(h, buffer, 256);
    return win32::narrow(buffer);
}

LONG fontHeight(HWND h) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf.lfHeight;
}

HWND tooltipOf(HWND window) {
    HWND found = nullptr;
    for (HWND h = FindWindowExW(nullptr, nullptr, L"tooltips_class32", nullptr); h != nullptr;
         h = FindWindowExW(nullptr, h, L"tooltips_class32", nullptr)) {
        if (GetWindow(h, GW_OWNER) == window) {
            found = h;
        }
    }
    return found;
}

void expectLaidOutAt(Form& form, int dpi) {
    const FormDesign& d = form.design();
    const int perInch = d.unit == Unit::Twips ? 1440 : 96;
    auto at = [&](int units) { return MulDiv(units, dpi, perInch); };
    for (const Control& c : form.controls()) {
        const ControlDesign& cd = *c.design;
        int left = at(cd.rect.left), top = at(cd.rect.top);
        for (const ControlDesign& container : d.controls) {
            if (container.name == cd.container) {
                left += at(container.rect.left);
                top += at(container.rect.top);
            }
        }
        HWND h = child(form, cd.name, cd.index);
        RECT r = rectInParent(h);
        std::string what = cd.name + "(" + std::to_string(cd.index) + ") at " + std::to_string(dpi) + " dpi";
        EXPECT_EQ(r.left, left) << what;
        EXPECT_EQ(r.top, top) << what;
        EXPECT_EQ(r.right - r.left, at(cd.rect.width)) << what;
        EXPECT_EQ(r.bottom - r.top, at(cd.rect.height)) << what;
        if (cd.kind != ControlKind::Image) {  // a drawing has no text, and so no font
            EXPECT_EQ(fontHeight(h), -std::lround(cd.font.points * dpi / 72.0)) << what;
        }
    }
}

// Lets the window and its controls paint what they show now, for a screenshot.
void settle(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const DWORD end = GetTickCount() + 300;
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

// What the system suggests for a window that moves to a monitor of another DPI: the same window at the
// new scale, near where it was.
RECT suggestedRect(HWND window, const FormDesign& design, int dpi) {
    const int perInch = design.unit == Unit::Twips ? 1440 : 96;
    RECT client{0, 0, MulDiv(design.clientWidth, dpi, perInch), MulDiv(design.clientHeight, dpi, perInch)};
    RECT r = win32::windowRectFor(client, GetWindowLongW(window, GWL_STYLE), GetMenu(window) != nullptr,
                                  GetWindowLongW(window, GWL_EXSTYLE), dpi);
    OffsetRect(&r, 40 - r.left, 30 - r.top);
    return r;
}

const FormDesign* const kDesigns[] = {
    &app::form1Design(),      &info::form2Design(), &info::form3Design(), &optimize::form4Design(),
    &settings::form6Design(), &scan::form7Design(), &info::form10Design()};

// The controls as the program might have changed them: every caption, check mark and option.
void changeState(Form& form) {
    for (const Control& c : form.controls()) {
        Control& live = form.control(c.name(), c.index());
        form.setCaption(live, c.caption + "＊");
        if (c.kind() == ControlKind::CheckBox || (c.kind() == ControlKind::OptionButton && c.index() == 0)) {
            c.kind() == ControlKind::CheckBox ? form.setValue(live, 1) : form.select(live);
        }
    }
}

void expectStateKept(Form& form) {
    for (const Control& c : form.controls()) {
        HWND h = child(form, c.name(), c.index());
        if (c.kind() != ControlKind::Image && c.kind() != ControlKind::PictureBox) {
            EXPECT_EQ(textOf(h), c.caption) << c.name();
        }
        if (c.kind() == ControlKind::CheckBox || c.kind() == ControlKind::OptionButton) {
            EXPECT_EQ(SendMessageW(h, BM_GETCHECK, 0, 0), c.value ? BST_CHECKED : BST_UNCHECKED) << c.name();
        }
    }
}

HWND lastFocusable(Form& form) {
    HWND last = nullptr;
    for (const Control& c : form.controls()) {
        if (c.visible && c.enabled && c.kind() != ControlKind::Label && c.kind() != ControlKind::Frame &&
            c.kind() != ControlKind::PictureBox && c.kind() != ControlKind::Image) {
            last = child(form, c.name(), c.index());
        }
    }
    return last;
}

TEST(DpiChange, EveryWindowIsLaidOutAgainFromItsDesignAndKeepsItsState) {
    win32::Backend backend(GetModuleHandleW(nullptr));
    for (const FormDesign* design : kDesigns) {
        SCOPED_TRACE(design->name);
        Plain form(backend, *design);
        form.show();
        HWND window = GetAncestor(
            child(form, form.controls().front().name(), form.controls().front().index()), GA_ROOT);
        ASSERT_NE(window, nullptr);
        const int startDpi = win32::dpiOf(window);
        expectLaidOutAt(form, startDpi);

        // The state the program gave the controls, and the focus the user left, must survive.
        changeState(form);
        if (HWND last = lastFocusable(form)) {
            SetFocus(last);
            ASSERT_EQ(GetFocus(), last);
        }
        const HWND focus = GetFocus();
        HWND tooltip = tooltipOf(window);
        ASSERT_NE(tooltip, nullptr);

        // There and back many times, as a window dragged between two monitors: each change releases the
        // fonts of the scale it leaves.
        const int dpis[] = {144, 120, startDpi, 192, startDpi};
        int shots = 0;
        for (int round = 0; round < 20; ++round) {
            for (int dpi : dpis) {
                std::vector<HGDIOBJ> before{
                    reinterpret_cast<HGDIOBJ>(SendMessageW(tooltip, WM_GETFONT, 0, 0))};
                for (const Control& c : form.controls()) {
                    before.push_back(reinterpret_cast<HGDIOBJ>(
                        SendMessageW(child(form, c.name(), c.index()), WM_GETFONT, 0, 0)));
                }
                RECT suggested = suggestedRect(window, *design, dpi);
                SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                             reinterpret_cast<LPARAM>(&suggested));
                for (HGDIOBJ font : before) {
                    EXPECT_TRUE(font == nullptr || GetObjectType(font) == 0)
                        << "a font of the old scale outlives the change to " << dpi;
                }
                if (round > 0 && dpi != startDpi) {
                    continue;  // checked in full in the first round, and whenever back at the start
                }
                RECT r, client;
                GetWindowRect(window, &r);
                GetClientRect(window, &client);
                EXPECT_EQ(r.left, suggested.left) << dpi;
                EXPECT_EQ(r.top, suggested.top) << dpi;
                const int perInch = design->unit == Unit::Twips ? 1440 : 96;
                EXPECT_EQ(client.right, MulDiv(design->clientWidth, dpi, perInch)) << dpi;
                EXPECT_EQ(client.bottom, MulDiv(design->clientHeight, dpi, perInch)) << dpi;
                expectLaidOutAt(form, dpi);
                EXPECT_EQ(fontHeight(tooltip), win32::tooltipFontAt(dpi).lfHeight) << dpi;
                expectStateKept(form);
                EXPECT_EQ(GetFocus(), focus) << dpi;
                if (round == 0 && (design->name == "Form1" || design->name == "Form6")) {
                    settle(window);
                    e2e::screenshot("dpi-change-" + design->name + "-" + std::to_string(++shots) + "-at-" +
                                    std::to_string(dpi));
                }
            }
        }
        form.unload();
    }
}

}  // namespace
