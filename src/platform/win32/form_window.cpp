#include "platform/win32/form_window.h"

#include <oleacc.h>

#include <algorithm>
#include <exception>
#include <numeric>

#include "platform/win32/backend.h"
#include "platform/win32/dpi.h"
#include "platform/win32/form_class.h"
#include "platform/win32/form_window_layout.h"
#include "platform/win32/refusal.h"
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
        throw SystemRefused("ウィンドウを作成できませんでした。");
    }
    menu_.givenToWindow();
    registerAccessible(hwnd(), *this);
    acceptFromShell(hwnd(), backend_.taskbarCreatedMessage());
    focus_.setWindow(hwnd());
    cues_.start(hwnd());
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

// Wherever its window sits, in the window or in a frame, a control is found by its control id.
ControlPeer* FormWindow::peerOf(HWND child) const {
    const int i = GetDlgCtrlID(child) - kFirstControlId;
    return i >= 0 && i < std::ssize(peers_) && peers_[i]->hwnd() == child ? peers_[i].get() : nullptr;
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
        fitClientToDesign(hwnd(), form_.design(), scale());
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
    if (before.held) {
        return;
    }
    peers_[i]->update();
    focus_.changed(i, before);
}

void FormWindow::timerChanged(const ui::Timer& timer) {
    const UINT_PTR id = kFirstTimerId + timer.designIndex;
    if (timer.running()) {
        // A window whose timer the system refuses would never move on (a progress window at 0 ％).
        if (SetTimer(hwnd(), id, static_cast<UINT>(timer.intervalMs), nullptr) == 0) {
            throw SystemRefused("タイマーを設定できませんでした。");
        }
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

// A window whose design names it by one of its labels is called what that label says, and one that it
// describes by labels is described by what they say, those that show something one after the other.
void FormWindow::describe(AccessibleFacts& facts) const {
    const ui::FormDesign& d = form_.design();
    if (!d.namedBy.empty()) {
        facts.name = widen(form_.control(d.namedBy).caption);
    }
    if (!d.describedBy.empty()) {
        std::string text;
        for (const std::string& label : d.describedBy) {
            const std::string& caption = form_.control(label).caption;
            if (!caption.empty()) {
                text += (text.empty() ? "" : " ") + caption;
            }
        }
        facts.description = widen(text);
    }
    if (d.dialog) {
        facts.role = ROLE_SYSTEM_DIALOG;
    }
}

// What the window tells a screen reader beyond what the system reads from it (the progress windows'
// names, the dialogs' role); a window with nothing to add keeps the system's own object.
std::optional<LRESULT> FormWindow::answerScreenReader(WPARAM wp, LPARAM lp) const {
    AccessibleFacts facts;
    describe(facts);
    if (facts.empty()) {
        return std::nullopt;
    }
    return answerGetObject(hwnd(), wp, lp, facts.name.has_value());
}

void FormWindow::textChanged(const ControlPeer& peer) {
    const ui::ControlDesign& changed = *peer.control().design;
    announceNameChange(peer.hwnd());
    if (form_.design().namedBy == changed.name) {
        announceNameChange(hwnd());
    }
    // A screen reader listens to the object that has the focus. A change of what describes it is
    // announced there, but not a count that moves at every tick (it stays readable), and not while the
    // focus is about to move on: the focus carries the new description with it, heard once.
    if (changed.quiet || focus_.settling()) {
        return;
    }
    HWND focused = GetFocus();
    const ControlPeer* focusedPeer = peerOf(focused);
    const std::vector<std::string>& windowDescribedBy = form_.design().describedBy;
    if (focused == hwnd()
            ? std::ranges::find(windowDescribedBy, changed.name) != windowDescribedBy.end()
            : focusedPeer != nullptr && focusedPeer->control().design->describedBy == changed.name) {
        announceDescriptionChange(focused);
    }
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
    if (self->backend_.abandoned()) {
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    // Nothing may unwind through the system's frames: a failure is handed to the message loop, which
    // ends the program through its entry.
    try {
        return self->handle(msg, wp, lp);
    } catch (...) {
        self->backend_.abandon(std::current_exception());
        return 0;
    }
}

LRESULT FormWindow::onCommand(WPARAM wp, LPARAM lp) {
    if (lp != 0) {
        return childNotified(WM_COMMAND, wp, lp);
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

LRESULT FormWindow::childNotified(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DRAWITEM) {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (ControlPeer* peer = peerOf(item.hwndItem)) {
            peer->drawItem(item);
        }
        return TRUE;
    }
    ControlPeer* peer = peerOf(reinterpret_cast<HWND>(lp));
    if (peer == nullptr) {
        return DefWindowProcW(hwnd(), msg, wp, lp);
    }
    if (msg == WM_COMMAND) {
        peer->commanded(HIWORD(wp));
        return 0;
    }
    return reinterpret_cast<LRESULT>(peer->colours(reinterpret_cast<HDC>(wp)));
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
    // A box that closes hands the activation back to its owner before the event that asked it goes on,
    // and that event may hide the owner at once (a scan agreed to): the owner's control gets the focus
    // back only if its window is still the active one when the event is over. Until then nothing takes
    // it, not even the window itself (as the system's own handling would): a screen reader would name a
    // window about to go.
    if (backend_.boxes().open()) {
        focus_.settleLater();
        return 0;
    }
    // The system's own handling first (it gives the window itself the focus), then the focus goes back
    // to the control that had it.
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

LRESULT FormWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == backend_.taskbarCreatedMessage()) {
        form_.shellRestarted();
        return 0;
    }
    if (msg == WM_GETOBJECT) {
        if (std::optional<LRESULT> answer = answerScreenReader(wp, lp)) {
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
        case WM_DRAWITEM:
            return childNotified(msg, wp, lp);
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
        case FocusKeeper::kSettleFocus:
            focus_.settle();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd(), msg, wp, lp);
}

}  // namespace win32
