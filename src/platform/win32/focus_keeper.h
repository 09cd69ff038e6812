// The keyboard focus of one window, kept on a control as in a dialog: remembered while the window is
// inactive or hidden, given back when it is activated, moved on in the tab order when its control can no
// longer hold it, and Enter's button (the focused push button, else the design's default).
//
// DefDlgProc keeps a focus too, but only the one the user left: it neither moves the focus off a control
// that is hidden or disabled (the keys would go nowhere) nor knows the design's default button, and its
// other dialog habits (Esc and the close box as IDCANCEL) are not this program's.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/win32/control_peers.h"

namespace win32 {

class FocusKeeper {
  public:
    using Peers = std::vector<std::unique_ptr<ControlPeer>>;
    explicit FocusKeeper(const Peers& peers) : peers_(peers) {}

    void setWindow(HWND window) { window_ = window; }
    // The design indices in the order Tab visits them.
    void setTabOrder(std::vector<int> order) { tabOrder_ = std::move(order); }

    // The window is deactivated or hidden, and activated again.
    void remember();
    void restore();
    // A control is about to change (enabled, visible) and has changed.
    struct Before {
        bool hadFocus;
        bool couldTakeFocus;
    };
    Before beforeChange(int index) const;
    void changed(int index, Before before);
    // What DM_GETDEFID answers.
    LRESULT defaultButton() const;

  private:
    // The design index of a child of the window, or -1.
    int indexOf(HWND child) const;
    int nextInTabOrder(int after) const;
    int focusedControl() const;
    void giveFocusTo(int index);
    bool active() const { return GetActiveWindow() == window_; }

    const Peers& peers_;
    HWND window_ = nullptr;
    std::vector<int> tabOrder_;
    int focus_ = -1;      // the control that has the focus, or gets it back on activation; -1 none
    int focusLeft_ = -1;  // where the focus was when no control could take it over
};

}  // namespace win32
