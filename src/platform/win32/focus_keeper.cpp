#include "platform/win32/focus_keeper.h"

#include <algorithm>

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

int FocusKeeper::nextInTabOrder(int after) const {
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

int FocusKeeper::focusedControl() const {
    return active() ? indexOf(GetFocus()) : focus_;
}

void FocusKeeper::remember() {
    HWND focus = GetFocus();
    if (focus == window_) {
        focus_ = -1;
    } else if (int i = indexOf(focus); i >= 0) {
        focus_ = i;
    }
}

void FocusKeeper::giveFocusTo(int index) {
    focus_ = index;
    if (active()) {
        SetFocus(index >= 0 ? peers_[index]->hwnd() : window_);
    }
}

void FocusKeeper::restore() {
    // A window that has never had the focus starts at its first control in the tab order.
    int target = focus_ >= 0 && peers_[focus_]->canTakeFocus() ? focus_ : nextInTabOrder(focusLeft_);
    if (target >= 0 && active() && !IsIconic(window_)) {
        focus_ = target;
        SetFocus(peers_[target]->hwnd());
    }
}

FocusKeeper::Before FocusKeeper::beforeChange(int index) const {
    return Before{focusedControl() == index, peers_[index]->canTakeFocus()};
}

void FocusKeeper::changed(int index, Before before) {
    bool canNow = peers_[index]->canTakeFocus();
    if (canNow == before.couldTakeFocus) {
        return;
    }
    if (!canNow && before.hadFocus) {
        // A hidden or disabled control would keep the keys to itself: Enter and Space would reach
        // nothing. The focus goes on in the tab order.
        focusLeft_ = index;
        giveFocusTo(nextInTabOrder(index));
    } else if (canNow && focusedControl() < 0) {
        // No control could hold the focus until now; the search goes on from where it was left.
        giveFocusTo(nextInTabOrder(focusLeft_));
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
