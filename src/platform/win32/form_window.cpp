#include "platform/win32/form_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <numeric>

#include "platform/win32/backend.h"
#include "platform/win32/dpi.h"
#include "platform/win32/shell_messages.h"
#include "platform/win32/text.h"

namespace win32 {

namespace {

constexpr int kFirstMenuId = 1000;
constexpr UINT_PTR kFirstTimerId = 1;
constexpr UINT kBringBoxForward = WM_APP + 1;

std::wstring formClassName(const std::string& formName) {
    return L"Kolbrin." + widen(formName);
}

struct Styles {
    DWORD style;
    DWORD exStyle;
};

Styles windowStyles(const ui::FormDesign& d) {
    Styles s{WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    switch (d.border) {
        case ui::Border::None:
            s.style |= WS_POPUP;
            break;
        case ui::Border::Sizable:
            s.style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
            s.style |= d.minButton ? WS_MINIMIZEBOX : 0;
            s.style |= d.maxButton ? WS_MAXIMIZEBOX : 0;
            break;
        case ui::Border::FixedToolWindow:
            s.style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
            s.exStyle |= WS_EX_TOOLWINDOW;
            break;
    }
    if (!d.showInTaskbar) {
        s.exStyle |= WS_EX_TOOLWINDOW;
    } else {
        s.exStyle |= WS_EX_APPWINDOW;
    }
    return s;
}

HMENU createMenuBar(const ui::FormDesign& d, std::map<UINT, std::string>& items) {
    if (d.menus.empty()) {
        return nullptr;
    }
    HMENU bar = CreateMenu();
    UINT id = kFirstMenuId;
    for (const auto& top : d.menus) {
        HMENU popup = CreatePopupMenu();
        for (const auto& item : top.items) {
            if (item.separator) {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            } else {
                items[id] = item.name;
                AppendMenuW(popup, MF_STRING, id++, widen(item.caption).c_str());
            }
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), widen(top.caption).c_str());
    }
    return bar;
}

}  // namespace

void FormWindow::registerClasses(HINSTANCE instance) {
    WNDCLASSEXW child{sizeof child};
    child.lpfnWndProc = childProc;
    child.hInstance = instance;
    child.hCursor = LoadCursor(nullptr, IDC_ARROW);
    child.lpszClassName = kPaintedChildClass;
    RegisterClassExW(&child);
}

FormWindow::FormWindow(Backend& backend, ui::Form& form) : backend_(backend), form_(form), dpi_(systemDpi()) {
    const ui::FormDesign& d = form.design();
    const std::wstring className = formClassName(d.name);
    WNDCLASSEXW wc{sizeof wc};
    if (!GetClassInfoExW(backend.instance(), className.c_str(), &wc)) {
        wc = WNDCLASSEXW{sizeof wc};
        wc.lpfnWndProc = formProc;
        wc.hInstance = backend.instance();
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = className.c_str();
        RegisterClassExW(&wc);
    }
    menu_ = createMenuBar(d, menuItems_);
    Styles s = windowStyles(d);
    hwnd_ = CreateWindowExW(s.exStyle, className.c_str(), widen(d.caption).c_str(), s.style, 0, 0, 0, 0,
                            nullptr, menu_, backend.instance(), this);
    acceptFromShell(hwnd_, backend.taskbarCreatedMessage());
    // The window is laid out for the monitor it comes up on.
    dpi_ = dpiOf(hwnd_);
    placeWindow();

    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, backend.instance(), nullptr);
    layoutTooltips();
    iconChanged();
    createControls();
    backend.windowCreated(*this);
    if (backend.messageBoxOpen()) {
        EnableWindow(hwnd_, FALSE);
    }
}

FormWindow::~FormWindow() {
    destroy();
}

void FormWindow::destroy() {
    if (hwnd_ != nullptr) {
        HWND h = hwnd_;
        for (const auto& t : form_.timers()) {
            KillTimer(h, kFirstTimerId + t.designIndex);
        }
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        backend_.windowDestroyed(*this);
        hwnd_ = nullptr;
        const bool wasActive = GetActiveWindow() == h;
        DestroyWindow(h);  // its menu, tooltip window and children go with it
        if (wasActive) {
            backend_.keepActivationInProgram();
        }
    }
}

// Centred on the screen, with exactly the design's client area at the window's DPI.
void FormWindow::placeWindow() {
    const ui::FormDesign& d = form_.design();
    RECT r = windowRectFor(RECT{0, 0, scale(d.clientWidth), scale(d.clientHeight)},
                           GetWindowLongW(hwnd_, GWL_STYLE), menu_ != nullptr,
                           GetWindowLongW(hwnd_, GWL_EXSTYLE), dpi_);
    SIZE size = exactSize(r.right - r.left, r.bottom - r.top);
    int x = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The outer size that gives exactly the design's client area, starting from an estimate: the menu bar
// may wrap into more lines, or the frame may not scale with the DPI, where the estimate assumed otherwise.
SIZE FormWindow::exactSize(int width, int height) {
    const ui::FormDesign& d = form_.design();
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    RECT client;
    GetClientRect(hwnd_, &client);
    return SIZE{width + scale(d.clientWidth) - (client.right - client.left),
                height + scale(d.clientHeight) - (client.bottom - client.top)};
}

int FormWindow::scale(int designUnits) const {
    int perInch = form_.design().unit == ui::Unit::Twips ? 1440 : 96;
    return MulDiv(designUnits, dpi_, perInch);
}

RECT FormWindow::placeOf(const ui::ControlDesign& design) const {
    int left = scale(design.rect.left), top = scale(design.rect.top);
    if (!design.container.empty()) {
        for (const auto& c : form_.design().controls) {
            if (c.name == design.container) {
                left += scale(c.rect.left);
                top += scale(c.rect.top);
            }
        }
    }
    return RECT{left, top, left + scale(design.rect.width), top + scale(design.rect.height)};
}

HFONT FormWindow::fontFor(const ui::Font& font) {
    for (const auto& [f, h] : fonts_) {
        if (f == font) {
            return h.get();
        }
    }
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(font.points * dpi_ / 72.0));
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    std::wstring face = widen(font.face);
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    fonts_.emplace_back(font, UniqueFont(CreateFontIndirectW(&lf)));
    return fonts_.back().second.get();
}

HBRUSH FormWindow::brushFor(const ui::Colour& colour) {
    COLORREF c = colourOf(colour, COLOR_BTNFACE);
    for (const auto& [key, brush] : brushes_) {
        if (key == c) {
            return brush.get();
        }
    }
    brushes_.emplace_back(c, UniqueBrush(CreateSolidBrush(c)));
    return brushes_.back().second.get();
}

void FormWindow::createControls() {
    const auto& controls = form_.controls();
    peers_.clear();
    for (const auto& c : controls) {
        peers_.push_back(makeControlPeer(*this, c));
    }
    // Created in tab order, so that Tab moves through them as the design says.
    tabOrder_.resize(controls.size());
    std::iota(tabOrder_.begin(), tabOrder_.end(), 0);
    std::stable_sort(tabOrder_.begin(), tabOrder_.end(), [&](int a, int b) {
        return controls[a].design->tabIndex < controls[b].design->tabIndex;
    });
    for (int i : tabOrder_) {
        peers_[i]->create();
        addTooltip(*peers_[i]);
    }
    // Frames paint their whole area: keep them under the controls they hold.
    for (const auto& c : controls) {
        if (c.kind() == ui::ControlKind::Frame) {
            SetWindowPos(peers_[c.designIndex]->hwnd(), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

void FormWindow::addTooltip(const ControlPeer& peer) {
    const std::string& tooltip = peer.control().design->tooltip;
    if (tooltip.empty()) {
        return;
    }
    std::wstring tip = widen(tooltip);
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V1_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(peer.hwnd());
    ti.lpszText = tip.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

// The tooltips' font and line width follow the window's DPI.
void FormWindow::layoutTooltips() {
    LOGFONTW lf = tooltipFontAt(dpi_);
    UniqueFont font(CreateFontIndirectW(&lf));
    SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    tooltipFont_ = std::move(font);  // the one the tooltips used until now is released
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, scale(form_.design().unit == ui::Unit::Twips ? 6000 : 400));
}

ControlPeer* FormWindow::peerWithId(int id) const {
    int i = id - kFirstControlId;
    return i >= 0 && i < static_cast<int>(peers_.size()) ? peers_[i].get() : nullptr;
}

ControlPeer* FormWindow::peerOf(HWND child) const {
    if (child == nullptr || GetParent(child) != hwnd_) {
        return nullptr;
    }
    ControlPeer* peer = peerWithId(GetDlgCtrlID(child));
    return peer != nullptr && peer->hwnd() == child ? peer : nullptr;
}

int FormWindow::indexOf(HWND child) const {
    ControlPeer* peer = peerOf(child);
    return peer != nullptr ? static_cast<int>(peer->designIndex()) : -1;
}

int FormWindow::nextInTabOrder(int after) const {
    auto at = std::find(tabOrder_.begin(), tabOrder_.end(), after);
    std::size_t start = at == tabOrder_.end() ? 0 : static_cast<std::size_t>(at - tabOrder_.begin()) + 1;
    for (std::size_t k = 0; k < tabOrder_.size(); ++k) {
        int i = tabOrder_[(start + k) % tabOrder_.size()];
        if (peers_[i]->canTakeFocus()) {
            return i;
        }
    }
    return -1;
}

int FormWindow::focusedControl() const {
    return GetActiveWindow() == hwnd_ ? indexOf(GetFocus()) : focus_;
}

void FormWindow::rememberFocus() {
    HWND focus = GetFocus();
    if (focus == hwnd_) {
        focus_ = -1;
    } else if (int i = indexOf(focus); i >= 0) {
        focus_ = i;
    }
}

void FormWindow::giveFocusTo(int index) {
    focus_ = index;
    if (GetActiveWindow() == hwnd_) {
        SetFocus(index >= 0 ? peers_[index]->hwnd() : hwnd_);
    }
}

void FormWindow::restoreFocus() {
    // A window that has never had the focus starts at its first control in the tab order.
    int target = focus_ >= 0 && peers_[focus_]->canTakeFocus() ? focus_ : nextInTabOrder(focusLeft_);
    if (target >= 0 && GetActiveWindow() == hwnd_ && !IsIconic(hwnd_)) {
        focus_ = target;
        SetFocus(peers_[target]->hwnd());
    }
}

void FormWindow::focusChanged(int index, bool couldTakeFocus, bool hadFocus) {
    bool canNow = peers_[index]->canTakeFocus();
    if (canNow == couldTakeFocus) {
        return;
    }
    if (!canNow && hadFocus) {
        // A hidden or disabled control would keep the keys to itself: Enter and Space would reach
        // nothing. The focus goes on in the tab order.
        focusLeft_ = index;
        giveFocusTo(nextInTabOrder(index));
    } else if (canNow && focusedControl() < 0) {
        // No control could hold the focus until now; the search goes on from where it was left.
        giveFocusTo(nextInTabOrder(focusLeft_));
    }
}

void FormWindow::setVisible(bool visible) {
    if (!visible) {
        rememberFocus();
        ShowWindow(hwnd_, SW_HIDE);
    } else if (backend_.messageBoxOpen()) {
        // The box stays in front of a window shown while it is up (the window is out of reach anyway).
        ShowWindow(hwnd_, SW_SHOWNA);
        backend_.bringMessageBoxForward();
    } else {
        ShowWindow(hwnd_, SW_SHOW);
    }
}

void FormWindow::activate() {
    if (backend_.messageBoxOpen()) {
        backend_.bringMessageBoxForward();
        return;
    }
    if (IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    }
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd_);
}

void FormWindow::restore() {
    if (IsIconic(hwnd_) || IsZoomed(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    }
}

void FormWindow::controlChanged(const ui::Control& control) {
    if (control.designIndex >= peers_.size()) {
        return;
    }
    const int i = static_cast<int>(control.designIndex);
    ControlPeer& peer = *peers_[i];
    const bool hadFocus = focusedControl() == i;
    const bool couldTakeFocus = peer.canTakeFocus();
    peer.update();
    focusChanged(i, couldTakeFocus, hadFocus);
}

void FormWindow::timerChanged(const ui::Timer& timer) {
    const UINT_PTR id = kFirstTimerId + timer.designIndex;
    if (timer.running()) {
        SetTimer(hwnd_, id, static_cast<UINT>(timer.intervalMs), nullptr);
    } else {
        KillTimer(hwnd_, id);
    }
}

void FormWindow::iconChanged() {
    bool has = form_.icon() == ui::Picture::MainIcon;
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(has ? backend_.icon(false, dpi_) : nullptr));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(has ? backend_.icon(true, dpi_) : nullptr));
}

std::uintptr_t FormWindow::nativeHandle(const ui::Control& control) const {
    return reinterpret_cast<std::uintptr_t>(peers_.at(control.designIndex)->hwnd());
}

LRESULT CALLBACK FormWindow::formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        auto* self = static_cast<FormWindow*>(cs->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr || self->hwnd_ != hwnd) {
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    // Nothing may unwind through the system's frames: a fault in a handler ends the program here.
    try {
        return self->handle(msg, wp, lp);
    } catch (...) {
        std::terminate();
    }
}

LRESULT CALLBACK FormWindow::childProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* peer = reinterpret_cast<ControlPeer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (peer == nullptr || peer->hwnd() != hwnd) {
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    try {
        return peer->ownMessage(msg, wp, lp);
    } catch (...) {
        std::terminate();
    }
}

LRESULT FormWindow::onCommand(WPARAM wp, LPARAM lp) {
    UINT id = LOWORD(wp);
    if (lp == 0) {
        auto item = menuItems_.find(id);
        if (item != menuItems_.end() && HIWORD(wp) == 0) {
            std::string name = item->second;  // the handler may unload this window
            form_.userMenu(name);
        }
        return 0;
    }
    if (ControlPeer* peer = peerOf(reinterpret_cast<HWND>(lp)); peer != nullptr && peer->id() == int(id)) {
        peer->command(HIWORD(wp));
    }
    return 0;
}

// Everything is laid out again from the design at the new DPI, never scaled from the old pixels; the
// window takes the place the system suggests, and the size it suggests where that gives the design's
// client area (a frame that does not scale with the DPI would otherwise cut the window short).
void FormWindow::onDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    auto oldFonts = std::move(fonts_);
    fonts_.clear();
    for (auto& peer : peers_) {
        peer->layout();
    }
    layoutTooltips();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    SIZE size = exactSize(suggested.right - suggested.left, suggested.bottom - suggested.top);
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    InvalidateRect(hwnd_, nullptr, TRUE);
    // The controls hold the new fonts now; the old ones go with oldFonts.
}

LRESULT FormWindow::onActivate(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == WA_INACTIVE) {
        rememberFocus();
        return DefWindowProcW(hwnd_, WM_ACTIVATE, wp, lp);
    }
    if (!IsWindowEnabled(hwnd_)) {
        // Only a message box disables the program's windows: activated from outside (the taskbar,
        // Alt+Tab), the window hands the activation on to the box once this is over.
        PostMessageW(hwnd_, kBringBoxForward, 0, 0);
        return DefWindowProcW(hwnd_, WM_ACTIVATE, wp, lp);
    }
    // The system's own handling first (it gives the window itself the focus, and keeps the keyboard
    // working for a box that comes up next), then the focus goes back to the control that had it.
    LRESULT result = DefWindowProcW(hwnd_, WM_ACTIVATE, wp, lp);
    restoreFocus();
    return result;
}

LRESULT FormWindow::onSetCursor(WPARAM wp, LPARAM lp) {
    const UINT mouse = HIWORD(lp);
    if (!IsWindowEnabled(hwnd_) &&
        (mouse == WM_LBUTTONDOWN || mouse == WM_RBUTTONDOWN || mouse == WM_MBUTTONDOWN)) {
        // A press on a window that a message box keeps out of reach brings the box forward.
        backend_.bringMessageBoxForward();
    }
    ControlPeer* peer = peerOf(reinterpret_cast<HWND>(wp));
    if (peer != nullptr && peer->control().design->handCursor && LOWORD(lp) == HTCLIENT) {
        SetCursor(backend_.handCursor());
        return TRUE;
    }
    return DefWindowProcW(hwnd_, WM_SETCURSOR, wp, lp);
}

// As in a dialog, Enter presses the button that has the focus, else the default button.
LRESULT FormWindow::defaultButton() const {
    if (ControlPeer* focused = peerOf(GetFocus()); focused != nullptr && focused->isPushButton()) {
        return MAKELRESULT(focused->id(), DC_HASDEFID);
    }
    for (const auto& peer : peers_) {
        if (peer->control().design->isDefault && peer->control().visible) {
            return MAKELRESULT(peer->id(), DC_HASDEFID);
        }
    }
    return 0;
}

void FormWindow::onTimer(UINT_PTR id) {
    const std::size_t index = id - kFirstTimerId;
    if (id >= kFirstTimerId && index < form_.timers().size()) {
        form_.userTimer(form_.timerAt(index));
    }
}

void FormWindow::eraseBackground(HDC dc) {
    RECT r;
    GetClientRect(hwnd_, &r);
    FillRect(dc, &r, brushFor(form_.design().back));
}

LRESULT FormWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == backend_.taskbarCreatedMessage()) {
        form_.shellRestarted();
        return 0;
    }
    switch (msg) {
        case WM_COMMAND:
            return onCommand(wp, lp);
        case WM_TIMER:
            onTimer(wp);
            return 0;
        case WM_CLOSE:
            form_.userClose();
            return 0;
        case WM_ENDSESSION:
            if (wp) {
                form_.userClose();
            }
            return 0;
        case WM_ERASEBKGND:
            eraseBackground(reinterpret_cast<HDC>(wp));
            return 1;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            if (ControlPeer* peer = peerOf(reinterpret_cast<HWND>(lp))) {
                return reinterpret_cast<LRESULT>(peer->colours(reinterpret_cast<HDC>(wp)));
            }
            break;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (ControlPeer* peer = peerOf(item.hwndItem)) {
                peer->drawItem(item);
            }
            return TRUE;
        }
        case WM_DPICHANGED:
            onDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_ACTIVATE:
            return onActivate(wp, lp);
        case kBringBoxForward:
            backend_.bringMessageBoxForward();
            return 0;
        case WM_SETCURSOR:
            return onSetCursor(wp, lp);
        case DM_GETDEFID:
            return defaultButton();
        default:
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace win32
