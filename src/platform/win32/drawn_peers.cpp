// The kinds of control the program paints itself.
#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "platform/services.h"
#include "platform/win32/backend.h"
#include "platform/win32/control_peers.h"
#include "platform/win32/focus_cues.h"
#include "platform/win32/form_window.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace win32 {

namespace {

// Option buttons and check boxes: the check mark follows the control's value. The system would draw
// their marks at the size for the session's DPI, wrong in a window on a monitor of another DPI; the peer
// draws the control itself, the mark at the window's scale, and the system keeps its behaviour (the keys,
// the check state, the focus).
class CheckablePeer : public ControlPeer {
  public:
    CheckablePeer(FormWindow& window, std::size_t designIndex, UINT markKind, DWORD style)
        : ControlPeer(window, designIndex), markKind_(markKind), style_(style) {}
    bool takesFocus() const override { return true; }

  protected:
    Creation creation() const override {
        return {L"BUTTON", WS_TABSTOP | style_ | (startsGroup() ? WS_GROUP : 0u)};
    }
    void mirror() override {
        SendMessageW(hwnd(), BM_SETCHECK, control().value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void commanded(WORD code) override { clicked(code); }

    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_PAINT:
                paintNow();
                return 0;
            case WM_GETDLGCODE:
                return wantsArrows(lp) ? ControlPeer::handle(msg, wp, lp) | DLGC_WANTARROWS
                                       : ControlPeer::handle(msg, wp, lp);
            case WM_KEYDOWN:
                if (moveWithArrow(wp)) {
                    return 0;
                }
                break;
            case BM_SETCHECK:
            case BM_SETSTATE:
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
            case WM_ENABLE:
            case WM_SETTEXT:
            case WM_UPDATEUISTATE: {
                // The system paints these changes at once, in its own size: paint over it.
                LRESULT result = ControlPeer::handle(msg, wp, lp);
                InvalidateRect(hwnd(), nullptr, FALSE);
                return result;
            }
        }
        return ControlPeer::handle(msg, wp, lp);
    }

  private:
    bool isOption() const { return markKind_ == DFCS_BUTTONRADIO; }

    static bool isArrow(WPARAM key) {
        return key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT;
    }

    // The check box, and the first option of each frame in tab order, start a group: a screen reader
    // and the dialog keys see each frame's options as one set.
    bool startsGroup() const {
        return !isOption() || std::ranges::none_of(window_.form().optionGroup(control()), [this](auto* c) {
            return c->design->tabIndex < design().tabIndex;
        });
    }

    // The options of a frame lie in tab order in the stacking order, which is not the order they are seen
    // in; the dialog keys would move the arrows in the first. The options take the arrows themselves.
    bool wantsArrows(LPARAM lp) const {
        const auto* key = reinterpret_cast<const MSG*>(lp);
        return isOption() && key != nullptr && key->message == WM_KEYDOWN && isArrow(key->wParam);
    }

    // Up and Left go to the option above, Down and Right to the one below, as the form runtime finds them;
    // the option reached is selected, as with the system's option buttons.
    bool moveWithArrow(WPARAM key) {
        if (!isOption() || !isArrow(key)) {
            return false;
        }
        const ui::Control* next =
            window_.form().optionAfterArrow(control(), key == VK_DOWN || key == VK_RIGHT);
        if (next == nullptr) {
            return true;
        }
        const std::size_t index = next->designIndex;
        SetFocus(window_.peerAt(index).hwnd());
        // The system's option button may have pressed itself on taking the focus from the keyboard.
        ui::Control& live = window_.form().controlAt(index);
        if (!live.selected()) {
            window_.form().userClicked(live);
        }
        return true;
    }

    void paintNow() {
        ScopedPaint paint(hwnd());
        HDC dc = paint.dc();
        RECT r;
        GetClientRect(hwnd(), &r);
        FillRect(dc, &r, colours(dc));
        const int box = scale().pixels(13);
        RECT mark{r.left, (r.top + r.bottom - box) / 2, r.left + box, (r.top + r.bottom - box) / 2 + box};
        const LRESULT state = SendMessageW(hwnd(), BM_GETSTATE, 0, 0);
        const bool enabled = IsWindowEnabled(hwnd()) != 0;
        DrawFrameControl(dc, &mark, DFC_BUTTON,
                         markKind_ | (state & BST_CHECKED ? DFCS_CHECKED : 0) |
                             (state & BST_PUSHED ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
        RECT text{mark.right + scale().pixels(4), r.top, r.right, r.bottom};
        ScopedSelect font(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
        ScopedTextColours colours(dc,
                                  enabled ? window_.resources().colour(design().fore, ColourRole::Text)
                                          : GetSysColor(COLOR_GRAYTEXT),
                                  TRANSPARENT);
        std::wstring caption = widen(control().caption);
        constexpr UINT kFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
        DrawTextW(dc, caption.c_str(), -1, &text, kFormat);
        if (GetFocus() == hwnd() && window_.focusCuesShown()) {
            RECT focus = text;
            DrawTextW(dc, caption.c_str(), -1, &focus, kFormat | DT_CALCRECT);
            OffsetRect(&focus, 0, (text.bottom - text.top - (focus.bottom - focus.top)) / 2);
            const int thickness = scale().pixels(1);
            InflateRect(&focus, thickness, thickness);
            drawFocusFrame(dc, focus, thickness, window_.resources().highContrast());
        }
    }

    UINT markKind_;
    DWORD style_;
};

// Frames and picture boxes are windows of the program's painted class, which does nothing by itself.
class PaintedPeer : public ControlPeer {
  public:
    using ControlPeer::ControlPeer;

  protected:
    Creation creation() const override { return {kPaintedChildClass, 0}; }
    virtual void paint(HDC dc, const RECT& r) = 0;
    HFONT font() const { return font_; }

    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_PAINT:
                paintNow();
                return 0;
            case WM_ERASEBKGND:
                return 1;  // the paint covers the whole area
            case WM_SETFONT:
                setFont(reinterpret_cast<HFONT>(wp), LOWORD(lp) != 0);
                return 0;
            case WM_GETFONT:
                return reinterpret_cast<LRESULT>(font_);
        }
        return ControlPeer::handle(msg, wp, lp);
    }

  private:
    void paintNow() {
        ScopedPaint paint(hwnd());
        RECT r;
        GetClientRect(hwnd(), &r);
        this->paint(paint.dc(), r);
    }
    void setFont(HFONT font, bool redraw) {
        font_ = font;
        if (redraw) {
            InvalidateRect(hwnd(), nullptr, TRUE);
        }
    }
    HFONT font_ = nullptr;  // the window's, at its DPI
};

class FramePeer : public PaintedPeer {
  public:
    using PaintedPeer::PaintedPeer;

  protected:
    // The frame holds its options as its children; the dialog keys go on into them.
    Creation creation() const override { return {kPaintedChildClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT}; }
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override {
        if (FormWindow::isChildNotification(msg)) {
            // Its options' notifications go to their peers as the window's own children's do.
            return window_.childNotified(msg, wp, lp);
        }
        return PaintedPeer::handle(msg, wp, lp);
    }
    // A group of options, named by its caption.
    void describe(AccessibleFacts& facts) const override {
        PaintedPeer::describe(facts);
        facts.name = widen(control().caption);
        facts.role = ROLE_SYSTEM_GROUPING;
    }

    void paint(HDC dc, const RECT& r) override {
        WindowResources& resources = window_.resources();
        FillRect(dc, &r, resources.brush(background(), ColourRole::Background));
        ScopedSelect selectFont(dc, font());
        TEXTMETRICW tm;
        GetTextMetricsW(dc, &tm);
        RECT edge = r;
        edge.top += tm.tmHeight / 2;
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
        std::wstring caption = widen(control().caption);
        if (!caption.empty()) {
            ScopedTextColours colours(dc, resources.colour(design().fore, ColourRole::Text), OPAQUE);
            SetBkColor(dc, resources.colour(background(), ColourRole::Background));
            RECT text{r.left + scale().pixels(8), r.top, r.right, r.top + tm.tmHeight};
            DrawTextW(dc, caption.c_str(), -1, &text, DT_LEFT | DT_TOP | DT_SINGLELINE);
        }
    }
};

class PicturePeer : public PaintedPeer {
  public:
    using PaintedPeer::PaintedPeer;

  protected:
    bool showsCaption() const override { return false; }
    void mirror() override { InvalidateRect(hwnd(), nullptr, TRUE); }
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_MOUSEMOVE) {
            mouseMoved(wp, lp);
            return 0;
        }
        return PaintedPeer::handle(msg, wp, lp);
    }

    void paint(HDC dc, const RECT& r) override {
        FillRect(dc, &r, window_.resources().brush(background(), ColourRole::Background));
        if (control().picture == ui::Picture::MainIcon) {
            const int size = scale().pixels(32);
            DrawIconEx(dc, 0, 0, window_.backend().icon(false, scale().dpi()), size, size, 0, nullptr,
                       DI_NORMAL);
        }
    }

  private:
    // The shell's notifications for the tray icon arrive here as mouse moves whose X is the mouse message
    // it saw over the icon.
    void mouseMoved(WPARAM wp, LPARAM lp) {
        int shift = (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                    (GetKeyState(VK_MENU) < 0 ? 4 : 0);
        int button = (wp & MK_LBUTTON ? 1 : 0) | (wp & MK_RBUTTON ? 2 : 0) | (wp & MK_MBUTTON ? 4 : 0);
        if (GET_X_LPARAM(lp) == static_cast<int>(platform::kNinKeySelect)) {
            window_.backend().noteKeyboardUse();  // the main window it shows is for a keyboard user
        }
        window_.form().userMouseMove(liveControl(), button, shift, static_cast<float>(GET_X_LPARAM(lp)),
                                     static_cast<float>(GET_Y_LPARAM(lp)));
    }
};

}  // namespace

std::unique_ptr<ControlPeer> makeCheckablePeer(FormWindow& window, const ui::Control& control) {
    if (control.kind() == ui::ControlKind::CheckBox) {
        return std::make_unique<CheckablePeer>(window, control.designIndex, DFCS_BUTTONCHECK, BS_CHECKBOX);
    }
    return std::make_unique<CheckablePeer>(window, control.designIndex, DFCS_BUTTONRADIO, BS_RADIOBUTTON);
}

std::unique_ptr<ControlPeer> makeFramePeer(FormWindow& window, std::size_t designIndex) {
    return std::make_unique<FramePeer>(window, designIndex);
}

std::unique_ptr<ControlPeer> makePicturePeer(FormWindow& window, std::size_t designIndex) {
    return std::make_unique<PicturePeer>(window, designIndex);
}

}  // namespace win32
