// The keyboard focus of one window, kept on a control as in a dialog: remembered while the window is
// inactive or hidden, given back when it is activated, moved on in the tab order when its control can no
// longer hold it, and Enter's button (the focused push button, else the design's default).
//
// DefDlgProc keeps a focus too, but only the one the user left: it neither moves the focus off a control
// that is hidden or disabled (the keys would go nowhere) nor knows the design's default button, and its
// other dialog habits (Esc and the close box as IDCANCEL) are not this program's.
//
// Where the focus lands is what a screen reader says, so it moves once, to where it will stay: a move
// that depends on what an event does next (a control that becomes able, an activation handed back by a
// closing box) waits until that event is over.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/win32/control_peers.h"

namespace win32 {

class FocusKeeper {
  public:
    // Posted to the window: the focus is settled once the event that moved it is over.
    static constexpr UINT kSettleFocus = WM_APP + 2;

    using Peers = std::vector<std::unique_ptr<ControlPeer>>;
    explicit FocusKeeper(const Peers& peers) : peers_(peers) {}

    void setWindow(HWND window) { window_ = window; }
    // The design indices in the order Tab visits them.
    void setTabOrder(std::vector<int> order) { tabOrder_ = std::move(order); }

    // The window is deactivated or hidden, and activated again: the focus goes back to its control now,
    // or once the current event is over.
    void remember();
    void restore();
    void settleLater();
    // What the window's kSettleFocus does.
    void settle();
    // Whether the focus is about to move.
    bool settling() const { return settling_; }
    // A control is about to change (enabled, visible) and has changed. A control held keeps the focus,
    // and its window its state, until the event is over (settle updates it).
    struct Before {
        bool hadFocus;
        bool couldTakeFocus;
        bool held;
    };
    Before beforeChange(int index);
    void changed(int index, Before before);
    // What DM_GETDEFID answers.
    LRESULT defaultButton() const;

  private:
    // The design index of a child of the window, or -1.
    int indexOf(HWND child) const;
    int nextInTabOrder(int after, int except = -1) const;
    int focusedControl() const;
    void giveFocusTo(int index);
    int restoreTarget() const;
    bool leave(int index);
    bool active() const { return GetActiveWindow() == window_; }

    const Peers& peers_;
    HWND window_ = nullptr;
    std::vector<int> tabOrder_;
    int focus_ = -1;      // the control that has the focus, or gets it back on activation; -1 none
    int focusLeft_ = -1;  // where the focus was when no control could take it over
    int held_ = -1;       // the control that keeps the focus until the event is over
    bool settling_ = false;
};

}  // namespace win32
