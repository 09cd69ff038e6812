// A window's layout: its controls built from the design, its size and place, and the same again at
// another DPI.
#include "platform/win32/form_window_layout.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

#include "platform/win32/backend.h"
#include "platform/win32/dpi.h"
#include "platform/win32/form_window.h"

namespace win32 {

SIZE estimatedWindowSize(HWND window, const ui::FormDesign& design, bool hasMenu, int dpi) {
    const ui::Scale at(design.unit, dpi);
    const RECT r =
        windowRectFor(RECT{0, 0, at(design.clientWidth), at(design.clientHeight)},
                      GetWindowLongW(window, GWL_STYLE), hasMenu, GetWindowLongW(window, GWL_EXSTYLE), dpi);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

namespace {

// What the outer size must gain (or lose) for the client area to be the design's at the scale.
SIZE sizeCorrection(HWND window, const ui::FormDesign& design, const ui::Scale& scale) {
    RECT client;
    GetClientRect(window, &client);
    return SIZE{scale(design.clientWidth) - (client.right - client.left),
                scale(design.clientHeight) - (client.bottom - client.top)};
}

}  // namespace

void fitClientToDesign(HWND window, const ui::FormDesign& design, const ui::Scale& scale) {
    const SIZE by = sizeCorrection(window, design, scale);
    if (by.cx != 0 || by.cy != 0) {
        RECT outer;
        GetWindowRect(window, &outer);
        SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + by.cx,
                     outer.bottom - outer.top + by.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

// Centred on the screen, with exactly the design's client area at the window's DPI: the estimate first,
// then corrected as measured.
void FormWindow::placeWindow() {
    const SIZE estimate = estimatedWindowSize(hwnd(), form_.design(), menu_.handle() != nullptr, dpi_);
    SetWindowPos(hwnd(), nullptr, 0, 0, estimate.cx, estimate.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    const SIZE by = sizeCorrection(hwnd(), form_.design(), scale());
    const SIZE size{estimate.cx + by.cx, estimate.cy + by.cy};
    const int x = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    SetWindowPos(hwnd(), nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
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
    throw std::logic_error("the frame " + control.container + " of " + control.name + " is missing");
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
    fitClientToDesign(hwnd(), form_.design(), scale());
    InvalidateRect(hwnd(), nullptr, TRUE);
}

// The size the window will have at the new DPI, asked before the system suggests a rectangle.
bool FormWindow::onGetDpiScaledSize(int dpi, SIZE& size) const {
    size = estimatedWindowSize(hwnd(), form_.design(), menu_.handle() != nullptr, dpi);
    return true;
}

}  // namespace win32
