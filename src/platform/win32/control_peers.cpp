#include "platform/win32/control_peers.h"

#include <commctrl.h>
#include <oleacc.h>

#include <exception>
#include <string>

#include "platform/win32/backend.h"
#include "platform/win32/focus_cues.h"
#include "platform/win32/form_window.h"
#include "platform/win32/refusal.h"
#include "platform/win32/system_calls.h"
#include "platform/win32/text.h"

namespace win32 {

namespace {

constexpr int kCaptionLength = 512;

}  // namespace

ControlPeer::~ControlPeer() {
    if (hwnd_ != nullptr) {
        unregisterAccessible(hwnd_);
    }
}

const ui::Control& ControlPeer::control() const {
    return window_.form().controls().at(designIndex_);
}

ui::Control& ControlPeer::liveControl() {
    // The form's control list is the one this window was built from for as long as the window lives.
    return window_.form().controlAt(designIndex_);
}

ui::Scale ControlPeer::scale() const {
    return window_.scale();
}

void ControlPeer::create() {
    Creation c = creation();
    std::wstring text = showsCaption() ? widen(control().caption) : L"";
    hwnd_ =
        CreateWindowExW(c.exStyle, c.className, text.c_str(), c.style | WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0,
                        0, window_.parentFor(design()), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id())),
                        window_.backend().instance(), nullptr);
    if (hwnd_ == nullptr ||
        !systemCalls().setWindowSubclass(hwnd_, subclassProc, kHookId, reinterpret_cast<DWORD_PTR>(this))) {
        throw SystemRefused("コントロールを作成できませんでした。");
    }
    registerAccessible(hwnd_, *this);
    layout();
    created();
    mirror();
    EnableWindow(hwnd_, control().enabled);
    if (control().visible) {
        ShowWindow(hwnd_, SW_SHOWNA);
    }
}

LRESULT CALLBACK ControlPeer::subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                           DWORD_PTR ref) {
    auto* peer = reinterpret_cast<ControlPeer*>(ref);
    if (msg == WM_NCDESTROY) {
        // Off before the window is gone, so no message reaches a peer through a hook left behind.
        systemCalls().removeWindowSubclass(hwnd, subclassProc, kHookId);
        unregisterAccessible(hwnd);
        peer->hwnd_ = nullptr;
        return systemCalls().defSubclassProc(hwnd, msg, wp, lp);
    }
    Backend& backend = peer->window_.backend();
    if (backend.abandoned()) {
        return systemCalls().defSubclassProc(hwnd, msg, wp, lp);
    }
    // Nothing may unwind through the system's frames: a failure is handed to the message loop.
    try {
        return peer->handle(msg, wp, lp);
    } catch (...) {
        backend.abandon(std::current_exception());
        return 0;
    }
}

LRESULT ControlPeer::handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETOBJECT) {
        return answerScreenReader(wp, lp);
    }
    return defaultHandling(msg, wp, lp);
}

LRESULT ControlPeer::answerScreenReader(WPARAM wp, LPARAM lp) {
    AccessibleFacts facts;
    describe(facts);
    // A control the system already reads in full keeps the system's own object.
    if (!facts.empty()) {
        if (std::optional<LRESULT> answer = answerGetObject(hwnd_, wp, lp, false)) {
            return *answer;
        }
    }
    return defaultHandling(WM_GETOBJECT, wp, lp);
}

void ControlPeer::describe(AccessibleFacts& facts) const {
    if (!design().accessibleName.empty()) {
        facts.name = widen(design().accessibleName);
    }
    if (!design().describedBy.empty()) {
        facts.description = widen(window_.form().control(design().describedBy).caption);
    } else if (!design().tooltip.empty()) {
        facts.description = widen(design().tooltip);
    }
}

LRESULT ControlPeer::defaultHandling(UINT msg, WPARAM wp, LPARAM lp) {
    return systemCalls().defSubclassProc(hwnd_, msg, wp, lp);
}

void ControlPeer::layout() {
    // A control in a frame is a child of the frame, and placed in it.
    const ui::PixelRect r = ui::placeOf(window_.form().design(), design(), scale(), ui::Origin::Parent);
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(window_.resources().fontFor(design().font)),
                 TRUE);
}

void ControlPeer::update() {
    if (showsCaption()) {
        std::wstring text = widen(control().caption);
        wchar_t current[kCaptionLength] = {};
        GetWindowTextW(hwnd_, current, kCaptionLength);
        if (text != current) {
            SetWindowTextW(hwnd_, text.c_str());
            InvalidateRect(hwnd_, nullptr, TRUE);
            window_.textChanged(*this);
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
    const ui::Colour back = background();
    WindowResources& resources = window_.resources();
    SetTextColor(dc, resources.colour(design().fore, ColourRole::Text));
    SetBkColor(dc, resources.colour(back, ColourRole::Background));
    return resources.brush(back, ColourRole::Background);
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

  protected:
    Creation creation() const override {
        return {L"BUTTON",
                static_cast<DWORD>(WS_TABSTOP | (design().isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON))};
    }
    void commanded(WORD code) override { clicked(code); }
};

// A push button in the graphical style: its own back colour and caption colour, drawn here.
class GraphicalButtonPeer : public PushButtonPeer {
  public:
    using PushButtonPeer::PushButtonPeer;

  protected:
    Creation creation() const override { return {L"BUTTON", WS_TABSTOP | BS_OWNERDRAW}; }

    // Drawn by the program, the button is no push button to the system: say what it is, and whether
    // Enter presses it.
    void describe(AccessibleFacts& facts) const override {
        PushButtonPeer::describe(facts);
        facts.role = ROLE_SYSTEM_PUSHBUTTON;
        const LRESULT defaultButton = SendMessageW(window_.hwnd(), DM_GETDEFID, 0, 0);
        if (HIWORD(defaultButton) == DC_HASDEFID && LOWORD(defaultButton) == id()) {
            facts.addedStates |= STATE_SYSTEM_DEFAULT;
        }
    }

    void drawItem(const DRAWITEMSTRUCT& item) override {
        HDC dc = item.hDC;
        RECT r = item.rcItem;
        bool pressed = item.itemState & ODS_SELECTED;
        bool disabled = item.itemState & ODS_DISABLED;
        WindowResources& resources = window_.resources();
        FillRect(dc, &r, resources.brush(design().back, ColourRole::ButtonFace));
        DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        RECT text = r;
        if (pressed) {
            OffsetRect(&text, 1, 1);
        }
        ScopedSelect font(dc, resources.fontFor(design().font));
        std::wstring caption = widen(control().caption);
        constexpr UINT kFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (disabled) {
            // The engraved look of a disabled caption: a light copy one pixel down and right, grey on top.
            // High contrast has no engraving: the light copy would blur the grey text on a dark face.
            ScopedTextColours light(dc, GetSysColor(COLOR_3DHILIGHT), TRANSPARENT);
            if (!resources.highContrast()) {
                RECT shadow = text;
                OffsetRect(&shadow, 1, 1);
                DrawTextW(dc, caption.c_str(), -1, &shadow, kFormat);
            }
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
            DrawTextW(dc, caption.c_str(), -1, &text, kFormat);
        } else {
            ScopedTextColours colours(dc, resources.colour(design().fore, ColourRole::ButtonText),
                                      TRANSPARENT);
            DrawTextW(dc, caption.c_str(), -1, &text, kFormat);
        }
        if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT) && window_.focusCuesShown()) {
            RECT focus = r;
            InflateRect(&focus, -scale().pixels(4), -scale().pixels(4));
            drawFocusFrame(dc, focus, scale().pixels(1), resources.highContrast());
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
    ui::Colour background() const override {
        return design().back.kind != ui::Colour::Kind::Default ? design().back
                                                               : ui::systemColour(COLOR_WINDOW);
    }
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override {
        LRESULT result = ControlPeer::handle(msg, wp, lp);
        if (msg == WM_GETDLGCODE && design().readOnly && design().multiLine) {
            // A read-only multi-line text box must not swallow Enter or Escape, so that the window's
            // default and cancel buttons get them, nor Tab, which would keep a keyboard user inside it.
            auto* key = reinterpret_cast<MSG*>(lp);
            if (key && key->message == WM_KEYDOWN &&
                (key->wParam == VK_RETURN || key->wParam == VK_ESCAPE || key->wParam == VK_TAB)) {
                result &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_WANTTAB);
            }
        }
        return result;
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
        case ui::ControlKind::CheckBox:
            return makeCheckablePeer(window, control);
        case ui::ControlKind::Frame:
            return makeFramePeer(window, at);
        case ui::ControlKind::TextBox:
            return std::make_unique<TextBoxPeer>(window, at);
        case ui::ControlKind::PictureBox:
            return makePicturePeer(window, at);
        case ui::ControlKind::Image:
            return std::make_unique<ImagePeer>(window, at);
    }
    return std::make_unique<LabelPeer>(window, at);
}

}  // namespace win32
