// A window's layout: its controls built from the design, its size and place, and the same again at
// another DPI.
#include <algorithm>
#include <numeric>

#include "platform/win32/backend.h"
#include "platform/win32/dpi.h"
#include "platform/win32/form_window.h"

namespace win32 {

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

}  // namespace win32
