#include "platform/win32/form_window.h"

#include <algorithm>
#include <exception>
#include <numeric>
#include <stdexcept>

#include "platform/win32/backend.h"
#include "platform/win32/dpi.h"
#include "platform/win32/form_class.h"
#include "platform/win32/shell_messages.h"
#include "platform/win32/text.h"

namespace win32 {

static constexpr UINT_PTR kFirstTimerId = 1;
// Windows 10 1703 and later ask a window for its size at a new DPI before they suggest a rectangle.
static constexpr UINT kWmGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE

FormWindow::FormWindow(Backend& backend, ui::Form& form)
    : backend_(backend), form_(form), dpi_(systemDpi()), menu_(form.design()), resources_(dpi_) {
    try {
        create();
    } catch (...) {
        destroy();  // no window is left behind without its peer
        throw;
    }
}

void FormWindow::create() {
    const ui::FormDesign& d = form_.design();
    const std::wstring className = registerFormClass(backend_.instance(), d, formProc);
    Styles s = windowStyles(d);
    CreateWindowExW(s.exStyle, className.c_str(), widen(d.caption).c_str(), s.style, 0, 0, 0, 0, nullptr,
                    menu_.handle(), backend_.instance(), this);
    if (!window_) {
        throw std::runtime_error("the window of " + d.name + " could not be created");
    }
    menu_.givenToWindow();
    registerAccessible(hwnd(), *this);
    acceptFromShell(hwnd(), backend_.taskbarCreatedMessage());
    focus_.setWindow(hwnd());
    backend_.boxes().windowCreated(hwnd());
    // The window is laid out for the monitor it comes up on.
    dpi_ = dpiOf(hwnd());
    (void)resources_.changeDpi(dpi_);
    resources_.coloursChanged(backend_.highContrast());
    placeWindow();

    tooltips_.emplace(hwnd(), backend_.instance());
    tooltips_->layout(scale());
    iconChanged();
    createControls();
}

void FormWindow::destroy() {
    if (HWND h = window_.get()) {
        for (const auto& t : form_.timers()) {
            KillTimer(h, kFirstTimerId + t.designIndex);
        }
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        unregisterAccessible(h);
        backend_.boxes().windowDestroyed(h);
        const bool wasActive = GetActiveWindow() == h;
        window_.reset();  // its menu, tooltip window and children go with it
        if (wasActive) {
            backend_.boxes().keepActivationInProgram();
        }
    }
}

// Centred on the screen, with exactly the design's client area at the window's DPI.
void FormWindow::placeWindow() {
    const ui::FormDesign& d = form_.design();
    RECT r = windowRectFor(RECT{0, 0, scale()(d.clientWidth), scale()(d.clientHeight)},
                           GetWindowLongW(hwnd(), GWL_STYLE), menu_.handle() != nullptr,
                           GetWindowLongW(hwnd(), GWL_EXSTYLE), dpi_);
    SIZE size = exactSize(r.right - r.left, r.bottom - r.top);
    int x = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    SetWindowPos(hwnd(), nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The outer size that gives exactly the design's client area, starting from an estimate: the menu bar
// may wrap into more lines, or the frame may not scale with the DPI, where the estimate assumed otherwise.
SIZE FormWindow::exactSize(int width, int height) {
    const ui::FormDesign& d = form_.design();
    SetWindowPos(hwnd(), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    RECT client;
    GetClientRect(hwnd(), &client);
    return SIZE{width + scale()(d.clientWidth) - (client.right - client.left),
                height + scale()(d.clientHeight) - (client.bottom - client.top)};
}

void FormWindow::createControls() {
    const auto& controls = form_.controls();
    peers_.clear();
    for (const auto& c : controls) {
        peers_.push_back(makeControlPeer(*this, c));
    }
    std::vector<int> order(controls.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return controls[a].design->tabIndex < controls[b].design->tabIndex;
    });
    // The frames first, since the controls they hold are their children; then the rest, so that each
    // frame's controls lie in tab order among themselves.
    for (bool frames : {true, false}) {
        for (int i : order) {
            if ((controls[i].kind() == ui::ControlKind::Frame) == frames) {
                peers_[i]->create();
                tooltips_->add(peers_[i]->hwnd(), controls[i].design->tooltip);
            }
        }
    }
    stackInTabOrder(order);
    focus_.setTabOrder(std::move(order));
}

// The dialog keys move through the window's children in their stacking order, into a frame where the frame
// lies: stacked in tab order, Tab visits the controls as the design says.
void FormWindow::stackInTabOrder(const std::vector<int>& order) {
    for (int i : order) {
        if (GetParent(peers_[i]->hwnd()) == hwnd()) {
            SetWindowPos(peers_[i]->hwnd(), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

HWND FormWindow::parentFor(const ui::ControlDesign& control) const {
    if (control.container.empty()) {
        return hwnd();
    }
    for (const auto& peer : peers_) {
        if (peer->control().name() == control.container && peer->hwnd() != nullptr) {
            return peer->hwnd();
        }
    }
    throw std::runtime_error("the frame " + control.container + " of " + control.name + " is missing");
}

ControlPeer* FormWindow::peerOf(HWND child) const {
    int i = focus_.indexOf(child);
    return i >= 0 ? peers_[i].get() : nullptr;
}

void FormWindow::setVisible(bool visible) {
    if (!visible) {
        focus_.remember();
        ShowWindow(hwnd(), SW_HIDE);
        return;
    }
    // As a dialog does when it opens: focus cues only for a user who came by the keyboard.
    SendMessageW(hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS), 0);
    // The monitor's DPI may have changed while the window was hidden (a scaling change, a dock, a remote
    // session): it is laid out again before it appears.
    if (const int now = monitorDpiOf(hwnd()); now != dpi_) {
        changeDpi(now);
        fitClientToDesign();
    }
    backend_.boxes().showWindow(hwnd());
}

void FormWindow::activate() {
    if (!backend_.boxes().mayActivate()) {
        return;
    }
    if (IsIconic(hwnd())) {
        ShowWindow(hwnd(), SW_RESTORE);
    }
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd());
}

void FormWindow::restore() {
    if (IsIconic(hwnd()) || IsZoomed(hwnd())) {
        ShowWindow(hwnd(), SW_RESTORE);
    }
}

void FormWindow::controlChanged(const ui::Control& control) {
    if (control.designIndex >= peers_.size()) {
        return;
    }
    const int i = static_cast<int>(control.designIndex);
    const FocusKeeper::Before before = focus_.beforeChange(i);
    peers_[i]->update();
    focus_.changed(i, before);
}

void FormWindow::timerChanged(const ui::Timer& timer) {
    const UINT_PTR id = kFirstTimerId + timer.designIndex;
    if (timer.running()) {
        SetTimer(hwnd(), id, static_cast<UINT>(timer.intervalMs), nullptr);
    } else {
        KillTimer(hwnd(), id);
    }
}

void FormWindow::iconChanged() {
    bool has = form_.icon() == ui::Picture::MainIcon;
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(has ? backend_.icon(false, dpi_) : nullptr));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(has ? backend_.icon(true, dpi_) : nullptr));
}

std::uintptr_t FormWindow::nativeHandle(const ui::Control& control) const {
    return reinterpret_cast<std::uintptr_t>(peers_.at(control.designIndex)->hwnd());
}

LRESULT CALLBACK FormWindow::formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->window_.reset(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr || self->hwnd() != hwnd) {
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
        // Destroyed by the system (a creation that failed half-way): nothing is left to destroy.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        unregisterAccessible(hwnd);
        self->window_.release();
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    // Nothing may unwind through the system's frames: a fault in a handler ends the program here.
    try {
        return self->handle(msg, wp, lp);
    } catch (...) {
        std::terminate();
    }
}

LRESULT FormWindow::onCommand(WPARAM wp, LPARAM lp) {
    if (lp != 0) {
        return toChild(reinterpret_cast<HWND>(lp), WM_COMMAND, wp, lp);
    }
    if (LOWORD(wp) == IDCANCEL) {
        // Escape, as the dialog keys report it: no control of the program has this number.
        form_.userEscape();
        return 0;
    }
    if (const std::string* item = menu_.itemName(LOWORD(wp)); item != nullptr && HIWORD(wp) == 0) {
        std::string name = *item;  // the handler may unload this window
        form_.userMenu(name);
    }
    return 0;
}

// A notification goes back to the child that sent it, through its peer's hook.
LRESULT FormWindow::toChild(HWND child, UINT msg, WPARAM wp, LPARAM lp) {
    if (peerOf(child) == nullptr) {
        return DefWindowProcW(hwnd(), msg, wp, lp);
    }
    return SendMessageW(child, reflected(msg), wp, lp);
}

// Everything is laid out again from the design at the new DPI, never scaled from the old pixels; the
// window takes the place the system suggests, and the size it suggests where that gives the design's
// client area (a frame that does not scale with the DPI would otherwise cut the window short).
// Everything drawn at the window's scale is made again from the design; the caller places the window.
void FormWindow::changeDpi(int dpi) {
    dpi_ = dpi;
    // The controls hold the old fonts until they are laid out again.
    std::vector<UniqueFont> oldFonts = resources_.changeDpi(dpi);
    for (auto& peer : peers_) {
        peer->layout();
    }
    tooltips_->layout(scale());
    iconChanged();  // the images drawn for the new icon sizes
}

void FormWindow::onDpiChanged(int dpi, const RECT& suggested) {
    changeDpi(dpi);
    // The rectangle the system suggests, in one move: moved first with its old size, the window could
    // land back on the monitor it came from and start the change over.
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    fitClientToDesign();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

// The size the window will have at the new DPI, asked before the system suggests a rectangle.
bool FormWindow::onGetDpiScaledSize(int dpi, SIZE& size) const {
    const ui::FormDesign& d = form_.design();
    const ui::Scale at(d.unit, dpi);
    RECT r =
        windowRectFor(RECT{0, 0, at(d.clientWidth), at(d.clientHeight)}, GetWindowLongW(hwnd(), GWL_STYLE),
                      menu_.handle() != nullptr, GetWindowLongW(hwnd(), GWL_EXSTYLE), dpi);
    size = SIZE{r.right - r.left, r.bottom - r.top};
    return true;
}

// Corrects the size where the client area is not the design's (a menu bar that wraps, a frame that does
// not scale as estimated); a window of the right size is not touched.
void FormWindow::fitClientToDesign() {
    const ui::FormDesign& d = form_.design();
    RECT client, outer;
    GetClientRect(hwnd(), &client);
    GetWindowRect(hwnd(), &outer);
    const int dx = scale()(d.clientWidth) - (client.right - client.left);
    const int dy = scale()(d.clientHeight) - (client.bottom - client.top);
    if (dx != 0 || dy != 0) {
        SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

// The user turned high contrast on or off, or chose other system colours: every part is drawn again in
// the colours that now apply.
void FormWindow::onColoursChanged() {
    resources_.coloursChanged(backend_.highContrast());
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// The state of the focus cues, for the controls the program draws itself; the system's own controls get
// it from the system's handling (where there is one), which passes it on to every child.
LRESULT FormWindow::onUiState(UINT msg, WPARAM wp, LPARAM lp) {
    if (cues_.apply(wp, backend_.keyboardUsedLast())) {
        RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    return DefWindowProcW(hwnd(), msg, wp, lp);
}

LRESULT FormWindow::onActivate(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == WA_INACTIVE) {
        focus_.remember();
        return DefWindowProcW(hwnd(), WM_ACTIVATE, wp, lp);
    }
    if (backend_.boxes().activatedOutOfReach(hwnd())) {
        return DefWindowProcW(hwnd(), WM_ACTIVATE, wp, lp);
    }
    // The system's own handling first (it gives the window itself the focus, and keeps the keyboard
    // working for a box that comes up next), then the focus goes back to the control that had it.
    LRESULT result = DefWindowProcW(hwnd(), WM_ACTIVATE, wp, lp);
    focus_.restore();
    return result;
}

LRESULT FormWindow::onSetCursor(WPARAM wp, LPARAM lp) {
    backend_.boxes().mousePressed(hwnd(), HIWORD(lp));
    ControlPeer* peer = peerOf(reinterpret_cast<HWND>(wp));
    if (peer != nullptr && peer->control().design->handCursor && LOWORD(lp) == HTCLIENT) {
        SetCursor(backend_.handCursor());
        return TRUE;
    }
    return DefWindowProcW(hwnd(), WM_SETCURSOR, wp, lp);
}

void FormWindow::onTimer(UINT_PTR id) {
    const std::size_t index = id - kFirstTimerId;
    if (id >= kFirstTimerId && index < form_.timers().size()) {
        form_.userTimer(form_.timerAt(index));
    }
}

void FormWindow::onClose(bool closing) {
    if (closing) {
        form_.userClose();
    }
}

void FormWindow::eraseBackground(HDC dc) {
    RECT r;
    GetClientRect(hwnd(), &r);
    FillRect(dc, &r, resources_.brush(form_.design().back, ColourRole::Background));
}

// A window whose design gives it no telling caption (the progress windows) is named by one of its
// controls for screen readers.
void FormWindow::describe(AccessibleFacts& facts) const {
    const std::string& namedBy = form_.design().namedBy;
    if (!namedBy.empty()) {
        facts.name = widen(form_.control(namedBy).caption);
    }
}

void FormWindow::textChanged(const ControlPeer& peer) {
    const std::string& name = peer.control().name();
    announceNameChange(peer.hwnd());
    for (const auto& other : peers_) {
        if (other->control().design->describedBy == name) {
            announceDescriptionChange(other->hwnd());
        }
    }
    if (form_.design().namedBy == name) {
        announceNameChange(hwnd());
    }
}

LRESULT FormWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == backend_.taskbarCreatedMessage()) {
        form_.shellRestarted();
        return 0;
    }
    if (msg == WM_GETOBJECT && !form_.design().namedBy.empty()) {
        if (std::optional<LRESULT> answer = answerGetObject(hwnd(), wp, lp, true)) {
            return *answer;
        }
    }
    switch (msg) {
        case WM_COMMAND:
            return onCommand(wp, lp);
        case WM_TIMER:
            onTimer(wp);
            return 0;
        case WM_CLOSE:
            onClose(true);
            return 0;
        case WM_ENDSESSION:
            onClose(wp != 0);
            return 0;
        case WM_ERASEBKGND:
            eraseBackground(reinterpret_cast<HDC>(wp));
            return 1;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            return toChild(reinterpret_cast<HWND>(lp), msg, wp, lp);
        case WM_DRAWITEM:
            toChild(reinterpret_cast<const DRAWITEMSTRUCT*>(lp)->hwndItem, msg, wp, lp);
            return TRUE;
        case WM_SETTINGCHANGE:
            if (wp == SPI_SETHIGHCONTRAST) {
                onColoursChanged();
            }
            return DefWindowProcW(hwnd(), msg, wp, lp);
        case WM_SYSCOLORCHANGE:
            onColoursChanged();
            return 0;
        case WM_CHANGEUISTATE:
        case WM_UPDATEUISTATE:
            return onUiState(msg, wp, lp);
        case WM_DPICHANGED:
            onDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case kWmGetDpiScaledSize:
            return onGetDpiScaledSize(static_cast<int>(wp), *reinterpret_cast<SIZE*>(lp));
        case WM_ACTIVATE:
            return onActivate(wp, lp);
        case kBringBoxForward:
            backend_.boxes().bringForward();
            return 0;
        case WM_SETCURSOR:
            return onSetCursor(wp, lp);
        case DM_GETDEFID:
            return focus_.defaultButton();
        default:
            break;
    }
    return DefWindowProcW(hwnd(), msg, wp, lp);
}

}  // namespace win32
