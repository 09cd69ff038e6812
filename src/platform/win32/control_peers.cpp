#include "platform/win32/control_peers.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

#include "platform/win32/backend.h"
#include "platform/win32/dpi.h"
#include "platform/win32/form_window.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace win32 {

namespace {

constexpr int kCaptionLength = 512;

}  // namespace

COLORREF colourOf(const ui::Colour& colour, int defaultIndex) {
    switch (colour.kind) {
        case ui::Colour::Kind::Rgb:
            return RGB(colour.rgb.r, colour.rgb.g, colour.rgb.b);
        case ui::Colour::Kind::System:
            return GetSysColor(colour.systemIndex);
        case ui::Colour::Kind::Default:
            break;
    }
    return GetSysColor(defaultIndex);
}

const ui::Control& ControlPeer::control() const {
    return window_.form().controls().at(designIndex_);
}

ui::Control& ControlPeer::liveControl() {
    // The form's control list is the one this window was built from for as long as the window lives.
    return window_.form().controlAt(designIndex_);
}

void ControlPeer::create() {
    Creation c = creation();
    std::wstring text = showsCaption() ? widen(control().caption) : L"";
    hwnd_ = CreateWindowExW(c.exStyle, c.className, text.c_str(), c.style | WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
                            0, 0, window_.hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id())),
                            window_.backend().instance(), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    layout();
    created();
    mirror();
    EnableWindow(hwnd_, control().enabled);
    if (control().visible) {
        ShowWindow(hwnd_, SW_SHOWNA);
    }
}

void ControlPeer::layout() {
    RECT r = window_.placeOf(design());
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(window_.fontFor(design().font)), TRUE);
}

void ControlPeer::update() {
    if (showsCaption()) {
        std::wstring text = widen(control().caption);
        wchar_t current[kCaptionLength] = {};
        GetWindowTextW(hwnd_, current, kCaptionLength);
        if (text != current) {
            SetWindowTextW(hwnd_, text.c_str());
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
    }
    mirror();
    if ((IsWindowEnabled(hwnd_) != 0) != control().enabled) {
        EnableWindow(hwnd_, control().enabled);
    }
    if (((GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0) != control().visible) {
        ShowWindow(hwnd_, control().visible ? SW_SHOWNA : SW_HIDE);
    }
}

bool ControlPeer::canTakeFocus() const {
    return takesFocus() && IsWindowEnabled(hwnd_) && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

ui::Colour ControlPeer::background() const {
    // A control without its own back colour shows the window's, as on the form editor.
    return design().back.kind != ui::Colour::Kind::Default ? design().back : window_.form().design().back;
}

HBRUSH ControlPeer::colours(HDC dc) {
    ui::Colour back = background();
    SetTextColor(dc, colourOf(design().fore, COLOR_WINDOWTEXT));
    SetBkColor(dc, colourOf(back, COLOR_BTNFACE));
    return window_.brushFor(back);
}

LRESULT ControlPeer::ownMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void ControlPeer::clicked(WORD notification) {
    if (notification == BN_CLICKED) {
        window_.form().userClicked(liveControl());
    }
}

namespace {

class LabelPeer : public ControlPeer {
  public:
    using ControlPeer::ControlPeer;

  protected:
    Creation creation() const override {
        return {L"STATIC",
                static_cast<DWORD>(SS_NOTIFY | (design().align == ui::Align::Centre ? SS_CENTER : SS_LEFT))};
    }
};

// A push button in the system's own look.
class PushButtonPeer : public ControlPeer {
  public:
    using ControlPeer::ControlPeer;
    bool takesFocus() const override { return true; }
    bool isPushButton() const override { return true; }
    void command(WORD notification) override { clicked(notification); }

  protected:
    Creation creation() const override {
        return {L"BUTTON",
                static_cast<DWORD>(WS_TABSTOP | (design().isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON))};
    }
};

// A push button in the graphical style: its own back colour and caption colour, drawn here.
class GraphicalButtonPeer : public PushButtonPeer {
  public:
    using PushButtonPeer::PushButtonPeer;

    void drawItem(const DRAWITEMSTRUCT& item) override {
        HDC dc = item.hDC;
        RECT r = item.rcItem;
        bool pressed = item.itemState & ODS_SELECTED;
        bool disabled = item.itemState & ODS_DISABLED;
        FillRect(dc, &r, window_.brushFor(design().back));
        DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        RECT text = r;
        if (pressed) {
            OffsetRect(&text, 1, 1);
        }
        ScopedSelect font(dc, window_.fontFor(design().font));
        std::wstring caption = widen(control().caption);
        constexpr UINT kFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (disabled) {
            // The engraved look of a disabled caption: a light copy one pixel down and right, grey on top.
            RECT shadow = text;
            OffsetRect(&shadow, 1, 1);
            ScopedTextColours light(dc, GetSysColor(COLOR_3DHILIGHT), TRANSPARENT);
            DrawTextW(dc, caption.c_str(), -1, &shadow, kFormat);
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
            DrawTextW(dc, caption.c_str(), -1, &text, kFormat);
        } else {
            ScopedTextColours colours(dc, colourOf(design().fore, COLOR_BTNTEXT), TRANSPARENT);
            DrawTextW(dc, caption.c_str(), -1, &text, kFormat);
        }
        if (item.itemState & ODS_FOCUS) {
            RECT focus = r;
            InflateRect(&focus, -4, -4);
            DrawFocusRect(dc, &focus);
        }
    }

  protected:
    Creation creation() const override { return {L"BUTTON", WS_TABSTOP | BS_OWNERDRAW}; }
};

// Option buttons and check boxes: the check mark follows the control's value. The system draws their
// marks at the size for the session's DPI; in a window at another DPI (on another monitor) the peer draws
// the control itself, the mark at the window's scale, and the system keeps its behaviour (the keys, the
// check state, the focus).
class CheckablePeer : public ControlPeer {
  public:
    using ControlPeer::ControlPeer;
    bool takesFocus() const override { return true; }
    void command(WORD notification) override { clicked(notification); }

  protected:
    void mirror() override {
        SendMessageW(hwnd(), BM_SETCHECK, control().value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void created() override {
        SetWindowSubclass(hwnd(), scaledMarkProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    virtual UINT markKind() const = 0;

  private:
    bool drawsItself() const { return window_.dpi() != systemDpi(); }

    static LRESULT CALLBACK scaledMarkProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
        auto* peer = reinterpret_cast<CheckablePeer*>(self);
        if (!peer->drawsItself()) {
            return DefSubclassProc(h, msg, wp, lp);
        }
        switch (msg) {
            case WM_PAINT:
                peer->paintNow();
                return 0;
            case BM_SETCHECK:
            case BM_SETSTATE:
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
            case WM_ENABLE:
            case WM_SETTEXT:
            case WM_UPDATEUISTATE: {
                // The system paints these changes at once, in its own size: paint over it.
                LRESULT result = DefSubclassProc(h, msg, wp, lp);
                InvalidateRect(h, nullptr, FALSE);
                return result;
            }
        }
        return DefSubclassProc(h, msg, wp, lp);
    }

    void paintNow() {
        ScopedPaint paint(hwnd());
        HDC dc = paint.dc();
        RECT r;
        GetClientRect(hwnd(), &r);
        FillRect(dc, &r, colours(dc));
        const int box = MulDiv(13, window_.dpi(), 96);
        RECT mark{r.left, (r.top + r.bottom - box) / 2, r.left + box, (r.top + r.bottom - box) / 2 + box};
        const LRESULT state = SendMessageW(hwnd(), BM_GETSTATE, 0, 0);
        const bool enabled = IsWindowEnabled(hwnd()) != 0;
        DrawFrameControl(dc, &mark, DFC_BUTTON,
                         markKind() | (state & BST_CHECKED ? DFCS_CHECKED : 0) |
                             (state & BST_PUSHED ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
        RECT text{mark.right + MulDiv(4, window_.dpi(), 96), r.top, r.right, r.bottom};
        ScopedSelect font(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
        ScopedTextColours colours(
            dc, enabled ? colourOf(design().fore, COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT),
            TRANSPARENT);
        std::wstring caption = widen(control().caption);
        constexpr UINT kFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
        DrawTextW(dc, caption.c_str(), -1, &text, kFormat);
        if (GetFocus() == hwnd()) {
            RECT focus = text;
            DrawTextW(dc, caption.c_str(), -1, &focus, kFormat | DT_CALCRECT);
            OffsetRect(&focus, 0, (text.bottom - text.top - (focus.bottom - focus.top)) / 2);
            InflateRect(&focus, 1, 1);
            DrawFocusRect(dc, &focus);
        }
    }
};

class OptionButtonPeer : public CheckablePeer {
  public:
    using CheckablePeer::CheckablePeer;

  protected:
    Creation creation() const override { return {L"BUTTON", WS_TABSTOP | BS_RADIOBUTTON}; }
    UINT markKind() const override { return DFCS_BUTTONRADIO; }
};

class CheckBoxPeer : public CheckablePeer {
  public:
    using CheckablePeer::CheckablePeer;

  protected:
    Creation creation() const override { return {L"BUTTON", WS_TABSTOP | BS_CHECKBOX}; }
    UINT markKind() const override { return DFCS_BUTTONCHECK; }
};

// Frames and picture boxes are windows of the form's own class, painted here.
class PaintedPeer : public ControlPeer {
  public:
    using ControlPeer::ControlPeer;

    LRESULT ownMessage(UINT msg, WPARAM wp, LPARAM lp) override {
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
            case WM_MOUSEMOVE:
                mouseMoved(wp, lp);
                return 0;
        }
        return ControlPeer::ownMessage(msg, wp, lp);
    }

  protected:
    virtual void paint(HDC dc, const RECT& r) = 0;
    HFONT font() const { return font_; }

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
    // The shell's notifications for the tray icon arrive here as mouse moves whose X is the mouse message
    // it saw over the icon.
    void mouseMoved(WPARAM wp, LPARAM lp) {
        int shift = (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                    (GetKeyState(VK_MENU) < 0 ? 4 : 0);
        int button = (wp & MK_LBUTTON ? 1 : 0) | (wp & MK_RBUTTON ? 2 : 0) | (wp & MK_MBUTTON ? 4 : 0);
        window_.form().userMouseMove(liveControl(), button, shift, static_cast<float>(GET_X_LPARAM(lp)),
                                     static_cast<float>(GET_Y_LPARAM(lp)));
    }

    HFONT font_ = nullptr;  // the window's, at its DPI
};

class FramePeer : public PaintedPeer {
  public:
    using PaintedPeer::PaintedPeer;

  protected:
    Creation creation() const override { return {kPaintedChildClass, 0}; }

    void paint(HDC dc, const RECT& r) override {
        FillRect(dc, &r, window_.brushFor(background()));
        ScopedSelect selectFont(dc, font());
        TEXTMETRICW tm;
        GetTextMetricsW(dc, &tm);
        RECT edge = r;
        edge.top += tm.tmHeight / 2;
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
        std::wstring caption = widen(control().caption);
        if (!caption.empty()) {
            ScopedTextColours colours(dc, colourOf(design().fore, COLOR_WINDOWTEXT), OPAQUE);
            SetBkColor(dc, colourOf(background(), COLOR_BTNFACE));
            const bool twips = window_.form().design().unit == ui::Unit::Twips;
            RECT text{r.left + window_.scale(twips ? 120 : 8), r.top, r.right, r.top + tm.tmHeight};
            DrawTextW(dc, caption.c_str(), -1, &text, DT_LEFT | DT_TOP | DT_SINGLELINE);
        }
    }
};

class PicturePeer : public PaintedPeer {
  public:
    using PaintedPeer::PaintedPeer;

  protected:
    Creation creation() const override { return {kPaintedChildClass, 0}; }
    bool showsCaption() const override { return false; }
    void mirror() override { InvalidateRect(hwnd(), nullptr, TRUE); }

    void paint(HDC dc, const RECT& r) override {
        FillRect(dc, &r, window_.brushFor(background()));
        if (control().picture == ui::Picture::MainIcon) {
            int size = MulDiv(32, window_.dpi(), 96);
            DrawIconEx(dc, 0, 0, window_.backend().icon(false, window_.dpi()), size, size, 0, nullptr,
                       DI_NORMAL);
        }
    }
};

// A drawing that scales with its control: the system stretches the metafile to the control's size.
class ImagePeer : public ControlPeer {
  public:
    using ControlPeer::ControlPeer;

  protected:
    Creation creation() const override { return {L"STATIC", SS_ENHMETAFILE | SS_NOTIFY}; }
    bool showsCaption() const override { return false; }
    void created() override {
        if (control().picture == ui::Picture::Banner) {
            SendMessageW(hwnd(), STM_SETIMAGE, IMAGE_ENHMETAFILE,
                         reinterpret_cast<LPARAM>(window_.backend().banner()));
        }
    }
};

// A read-only multi-line text box must not swallow Enter, so that the window's default button gets it.
LRESULT CALLBACK readOnlyEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == WM_GETDLGCODE) {
        LRESULT code = DefSubclassProc(hwnd, msg, wp, lp);
        auto* key = reinterpret_cast<MSG*>(lp);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
            code &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
        }
        return code;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

class TextBoxPeer : public ControlPeer {
  public:
    using ControlPeer::ControlPeer;
    bool takesFocus() const override { return true; }

  protected:
    Creation creation() const override {
        return {
            L"EDIT",
            static_cast<DWORD>(WS_TABSTOP | ES_LEFT | (design().multiLine ? ES_MULTILINE : ES_AUTOHSCROLL) |
                               (design().readOnly ? ES_READONLY : 0)),
            WS_EX_CLIENTEDGE};
    }
    void created() override {
        if (design().readOnly && design().multiLine) {
            SetWindowSubclass(hwnd(), readOnlyEditProc, 1, 0);
        }
    }
    ui::Colour background() const override {
        return design().back.kind != ui::Colour::Kind::Default ? design().back
                                                               : ui::systemColour(COLOR_WINDOW);
    }
};

}  // namespace

std::unique_ptr<ControlPeer> makeControlPeer(FormWindow& window, const ui::Control& control) {
    const std::size_t at = control.designIndex;
    switch (control.kind()) {
        case ui::ControlKind::Label:
            return std::make_unique<LabelPeer>(window, at);
        case ui::ControlKind::Button:
            if (control.design->style == ui::ButtonStyle::Graphical) {
                return std::make_unique<GraphicalButtonPeer>(window, at);
            }
            return std::make_unique<PushButtonPeer>(window, at);
        case ui::ControlKind::OptionButton:
            return std::make_unique<OptionButtonPeer>(window, at);
        case ui::ControlKind::CheckBox:
            return std::make_unique<CheckBoxPeer>(window, at);
        case ui::ControlKind::Frame:
            return std::make_unique<FramePeer>(window, at);
        case ui::ControlKind::TextBox:
            return std::make_unique<TextBoxPeer>(window, at);
        case ui::ControlKind::PictureBox:
            return std::make_unique<PicturePeer>(window, at);
        case ui::ControlKind::Image:
            return std::make_unique<ImagePeer>(window, at);
    }
    return std::make_unique<LabelPeer>(window, at);
}

}  // namespace win32
