#include "platform/win32/focus_keeper.h"

#include <algorithm>
#include <utility>

namespace win32 {

int FocusKeeper::indexOf(HWND child) const {
    // A control may sit in a frame of the window: any window below it counts.
    if (child == nullptr || !IsChild(window_, child)) {
        return -1;
    }
    for (const auto& peer : peers_) {
        if (peer->hwnd() == child) {
            return static_cast<int>(peer->designIndex());
        }
    }
    return -1;
}

int FocusKeeper::nextInTabOrder(int after, int except) const {
    auto at = std::find(tabOrder_.begin(), tabOrder_.end(), after);
    std::size_t start = at == tabOrder_.end() ? 0 : static_cast<std::size_t>(at - tabOrder_.begin()) + 1;
    for (std::size_t k = 0; k < tabOrder_.size(); ++k) {
        int i = tabOrder_[(start + k) % tabOrder_.size()];
        if (i != except && peers_[i]->canTakeFocus()) {
            return i;
        }
    }
    return -1;
}

int FocusKeeper::focusedControl() const {
    return active() ? indexOf(GetFocus()) : focus_;
}

void FocusKeeper::remember() {
    HWND focus = GetFocus();
    if (focus == window_) {
        // While the focus is being settled the window holds it only on its way to a control.
        if (!settling_) {
            focus_ = -1;
        }
    } else if (int i = indexOf(focus); i >= 0) {
        focus_ = i;
    }
}

// -1: the window itself.
void FocusKeeper::giveFocusTo(int index) {
    focus_ = index;
    if (active()) {
        SetFocus(index >= 0 ? peers_[index]->hwnd() : window_);
    }
}

int FocusKeeper::restoreTarget() const {
    // A window that has never had the focus starts at its first control in the tab order.
    return focus_ >= 0 && peers_[focus_]->canTakeFocus() ? focus_ : nextInTabOrder(focusLeft_);
}

void FocusKeeper::restore() {
    const int target = restoreTarget();
    if (target >= 0 && active() && !IsIconic(window_)) {
        focus_ = target;
        SetFocus(peers_[target]->hwnd());
    }
}

void FocusKeeper::settleLater() {
    if (settling_) {
        return;
    }
    settling_ = PostMessageW(window_, kSettleFocus, 0, 0) != 0;
    if (!settling_) {
        settle();  // a queue that takes no more messages: settled at once
    }
}

// The event is over. When no control of the active window has the focus (or only the one that is to lose
// it), it goes to a control that can take it, else to the window itself, so that the keys reach the
// window; then the control that held on shows its new state (unless the event gave it back its old one).
void FocusKeeper::settle() {
    settling_ = false;
    const int held = std::exchange(held_, -1);
    const bool heldStaysAble = held >= 0 && peers_[held]->canTakeFocusOnceUpdated();
    if (active() && !IsIconic(window_) && !heldStaysAble) {
        const int focused = indexOf(GetFocus());
        if (focused < 0 || focused == held) {
            const int target = held >= 0 ? nextInTabOrder(held, held) : restoreTarget();
            if (target >= 0 || GetFocus() != window_) {
                giveFocusTo(target);
            }
        }
    }
    if (held >= 0) {
        peers_[held]->update();
    }
}

FocusKeeper::Before FocusKeeper::beforeChange(int index) {
    Before before{focusedControl() == index, peers_[index]->canTakeFocus(), index == held_};
    if (before.hadFocus && !before.held && !peers_[index]->canTakeFocusOnceUpdated()) {
        before.held = leave(index);
    }
    return before;
}

// A hidden or disabled control would keep the keys to itself: Enter and Space would reach nothing, so the
// focus leaves it, before it changes (the system would hand it to the window itself on the way): to the
// next control in the tab order. When none can take it yet, the control keeps the focus, and its
// window its state, until the event is over: the focus then goes straight to a control that became able
// meanwhile (a finished run's OK in place of its Cancel). Whether the control's window waits is returned.
bool FocusKeeper::leave(int index) {
    focusLeft_ = index;
    const int next = nextInTabOrder(index, index);
    if (next >= 0 || !active()) {
        giveFocusTo(next);
        return false;
    }
    held_ = index;
    settleLater();
    return true;
}

void FocusKeeper::changed(int index, Before before) {
    // No control could hold the focus until now: this one takes it once the event that enabled it is
    // over, when the rest of the window says what the event made of it (a run's result on its OK).
    if (peers_[index]->canTakeFocus() && !before.couldTakeFocus && focusedControl() < 0) {
        settleLater();
    }
}

// As in a dialog, Enter presses the button that has the focus, else the default button.
LRESULT FocusKeeper::defaultButton() const {
    if (int focused = indexOf(GetFocus()); focused >= 0 && peers_[focused]->isPushButton()) {
        return MAKELRESULT(peers_[focused]->id(), DC_HASDEFID);
    }
    for (const auto& peer : peers_) {
        if (peer->control().design->isDefault && peer->control().visible) {
            return MAKELRESULT(peer->id(), DC_HASDEFID);
        }
    }
    return 0;
}

}  // namespace win32
