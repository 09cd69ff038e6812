#include "ui/form.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace ui {

namespace {

bool designHas(const FormDesign& design, const HandledName& n) {
    switch (n.kind) {
        case HandledName::Kind::Control:
            return std::ranges::any_of(design.controls,
                                       [&](const auto& c) { return c.name == n.name && c.index == n.index; });
        case HandledName::Kind::Menu:
            return std::ranges::any_of(design.menus, [&](const auto& m) {
                return std::ranges::any_of(m.items, [&](const auto& i) { return i.name == n.name; });
            });
        case HandledName::Kind::Timer:
            return std::ranges::any_of(design.timers, [&](const auto& t) { return t.name == n.name; });
    }
    return false;
}

}  // namespace

Form::Form(Backend& backend, const FormDesign& design, Handlers handlers)
    : backend_(backend), design_(design), handlers_(handlers) {
    // A name in the table that the design lacks would leave its control dead with nothing to say why;
    // the windows are built once, at the start, so the mistake stops the first run of any test.
    for (const HandledName& n : handledNames()) {
        if (!designHas(design_, n)) {
            throw std::logic_error("no " + std::string(n.name) + " on " + design_.name + " for its handler");
        }
    }
}

Form::~Form() = default;

void Form::load() {
    if (loaded_) {
        return;
    }
    controls_.clear();
    controls_.reserve(design_.controls.size());
    for (std::size_t i = 0; i < design_.controls.size(); ++i) {
        const ControlDesign& d = design_.controls[i];
        controls_.push_back(Control{&d, i, d.caption, d.visible, d.enabled, d.value, d.picture});
    }
    timers_.clear();
    for (std::size_t i = 0; i < design_.timers.size(); ++i) {
        const TimerDesign& t = design_.timers[i];
        timers_.push_back(Timer{&t, i, t.intervalMs, t.enabled});
    }
    icon_ = design_.icon;
    visible_ = false;
    // Loaded before Form_Load runs: a load handler that uses its own form (or starts something that
    // uses it again) must not load it a second time.
    loaded_ = true;
    peer_ = backend_.createPeer(*this);
    for (const auto& t : timers_) {
        if (t.running()) {
            peer_->timerChanged(t);
        }
    }
    ScreenHold& hold = backend_.screenHold();
    hold.loadStarted();
    Form_Load();
    for (Form* form : hold.loadEnded()) {
        form->showOnScreen();
    }
}

void Form::unload() {
    if (!loaded_) {
        return;
    }
    loaded_ = false;
    visible_ = false;
    onScreen_ = false;
    activateHeld_ = false;
    backend_.screenHold().forget(*this);
    backend_.retirePeer(std::move(peer_));
    // The controls stay readable until the next load replaces them, so a caller that still holds a
    // reference does not dangle; nothing shows them any more.
}

void Form::show() {
    load();
    visible_ = true;
    showOnScreen();
    if (onScreen_) {
        peer_->activate();
    } else {
        activateHeld_ = true;  // with the show a load holds back
    }
}

void Form::hide() {
    setVisible(false);
}

void Form::setVisible(bool visible) {
    load();
    visible_ = visible;
    showOnScreen();
}

void Form::showOnScreen() {
    if (!visible_) {
        activateHeld_ = false;  // a hide cancels a show that still waits
    }
    if (!loaded_ || visible_ == onScreen_) {
        return;
    }
    if (visible_ && backend_.screenHold().holding()) {
        backend_.screenHold().defer(*this);
        return;
    }
    onScreen_ = visible_;
    peer_->setVisible(visible_);
    if (onScreen_ && activateHeld_) {
        peer_->activate();
    }
    activateHeld_ = false;
}

std::vector<Form*> ScreenHold::loadEnded() {
    if (--loadsRunning_ > 0) {
        return {};
    }
    return std::exchange(deferred_, {});
}

void ScreenHold::defer(Form& form) {
    if (std::find(deferred_.begin(), deferred_.end(), &form) == deferred_.end()) {
        deferred_.push_back(&form);
    }
}

void ScreenHold::forget(Form& form) {
    std::erase(deferred_, &form);
}

void Form::restore() {
    load();
    peer_->restore();
}

Control* Form::find(std::string_view name, int index) {
    for (auto& c : controls_) {
        if (c.name() == name && c.index() == index) {
            return &c;
        }
    }
    return nullptr;
}

Control& Form::control(std::string_view name, int index) {
    load();
    if (Control* c = find(name, index)) {
        return *c;
    }
    // A name that is not in the design is a programming error, caught by the tests of each window.
    throw std::logic_error("no control " + std::string(name) + " on " + design_.name);
}

Timer& Form::timer(std::string_view name) {
    load();
    for (auto& t : timers_) {
        if (t.design->name == name) {
            return t;
        }
    }
    throw std::logic_error("no timer " + std::string(name) + " on " + design_.name);
}

void Form::setCaption(Control& control, std::string caption) {
    load();
    control.caption = std::move(caption);
    peer_->controlChanged(control);
}

void Form::setControlVisible(Control& control, bool visible) {
    load();
    control.visible = visible;
    peer_->controlChanged(control);
}

void Form::setEnabled(Control& control, bool enabled) {
    load();
    control.enabled = enabled;
    peer_->controlChanged(control);
}

void Form::setPicture(Control& control, Picture picture) {
    load();
    control.picture = picture;
    peer_->controlChanged(control);
}

void Form::setIcon(Picture icon) {
    load();
    icon_ = icon;
    peer_->iconChanged();
}

void Form::select(Control& option) {
    load();
    for (const Control* member : optionGroup(option)) {
        Control& c = controls_[member->designIndex];
        int value = &c == &option ? 1 : 0;
        if (c.value != value) {
            c.value = value;
            peer_->controlChanged(c);
        }
    }
}

std::vector<const Control*> Form::optionGroup(const Control& option) const {
    std::vector<const Control*> group;
    for (const Control& c : controls_) {
        if (c.kind() == ControlKind::OptionButton && c.design->container == option.design->container) {
            group.push_back(&c);
        }
    }
    return group;
}

const Control* Form::optionAfterArrow(const Control& option, bool down) const {
    std::vector<const Control*> group = optionGroup(option);
    std::erase_if(group, [](const Control* c) { return !c->visible || !c->enabled; });
    // The order the user sees them in, top to bottom.
    std::stable_sort(group.begin(), group.end(), [](const Control* a, const Control* b) {
        return a->design->rect.top < b->design->rect.top;
    });
    auto at = std::find(group.begin(), group.end(), &option);
    if (at == group.end() || group.size() < 2) {
        return nullptr;
    }
    const std::size_t here = static_cast<std::size_t>(at - group.begin());
    return group[(here + (down ? 1 : group.size() - 1)) % group.size()];
}

void Form::setValue(Control& control, int value) {
    load();
    if (control.kind() == ControlKind::OptionButton && value != 0) {
        select(control);
        return;
    }
    control.value = value;
    peer_->controlChanged(control);
}

void Form::setTimerEnabled(Timer& timer, bool enabled) {
    load();
    timer.enabled = enabled;
    peer_->timerChanged(timer);
}

void Form::setTimerInterval(Timer& timer, int intervalMs) {
    load();
    timer.intervalMs = intervalMs;
    peer_->timerChanged(timer);
}

std::uintptr_t Form::nativeHandle(Control& control) {
    load();
    return peer_->nativeHandle(control);
}

void Form::userClicked(Control& control) {
    // Only what the user can see and reach can be pressed.
    if (!loaded_ || !control.enabled || !control.visible) {
        return;
    }
    if (control.kind() == ControlKind::OptionButton) {
        select(control);
    } else if (control.kind() == ControlKind::CheckBox) {
        setValue(control, control.value == 0 ? 1 : 0);
    }
    if (const Handler* h = handlerFor(Handler::Event::Click, control.name(), control.index())) {
        h->run(*this);
    }
}

void Form::userMenu(std::string_view item) {
    if (!loaded_) {
        return;
    }
    if (const Handler* h = handlerFor(Handler::Event::Menu, item, kNoIndex)) {
        h->run(*this);
    }
}

void Form::userTimer(Timer& timer) {
    // A tick that was queued before its timer stopped is dropped.
    if (!loaded_ || !timer.running()) {
        return;
    }
    if (const Handler* h = handlerFor(Handler::Event::Timer, timer.design->name, kNoIndex)) {
        h->run(*this);
    }
}

void Form::userMouseMove(Control& control, int button, int shift, float x, float y) {
    if (!loaded_) {
        return;
    }
    if (const Handler* h = handlerFor(Handler::Event::MouseMove, control.name(), control.index())) {
        h->move(*this, button, shift, x, y);
    }
}

void Form::userClose() {
    if (loaded_) {
        Form_Unload();
    }
}

void Form::userEscape() {
    if (!loaded_) {
        return;
    }
    for (Control& c : controls_) {
        if (c.design->isCancel && c.visible && c.enabled) {
            userClicked(c);
            return;
        }
    }
}

void Form::shellRestarted() {
    if (loaded_) {
        onShellRestarted();
    }
}

const Handler* Form::handlerFor(Handler::Event event, std::string_view name, int index) const {
    for (const Handler& h : handlers_) {
        if (h.event == event && h.name == name && h.index == index) {
            return &h;
        }
    }
    return nullptr;
}

std::vector<HandledName> Form::handledNames() const {
    std::vector<HandledName> names;
    for (const Handler& h : handlers_) {
        auto kind = h.event == Handler::Event::Menu    ? HandledName::Kind::Menu
                    : h.event == Handler::Event::Timer ? HandledName::Kind::Timer
                                                       : HandledName::Kind::Control;
        names.push_back({kind, h.name, h.index});
    }
    return names;
}

}  // namespace ui
