// The form runtime: one object per window, loaded on first use, unloaded back to its design.
//
// Every window of the program is a Form subclass with exactly one instance. Any use of it (show, hide,
// setVisible, reading or changing a control, a timer) loads it first when it is not loaded: the runtime
// copies the controls from the design, asks the backend for the real window (hidden) and runs Form_Load.
// unload() destroys the window and forgets every change; the next use starts from the design again.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/backend.h"
#include "ui/design.h"

namespace ui {

class Form;

// A control, menu item or timer that a window's handlers answer to, by its design name.
struct HandledName {
    enum class Kind { Control, Menu, Timer };
    Kind kind;
    std::string_view name;
    int index = kNoIndex;
};

// One row of a window's handler table, the way an event map would list it: the event, the design name
// (and array index) it comes from, and the handler. The rows are made by click, menu, tick and mouseMove
// below, which call the window's own member function.
struct Handler {
    enum class Event { Click, Menu, Timer, MouseMove };
    Event event;
    std::string_view name;
    int index = kNoIndex;
    void (*run)(Form&) = nullptr;
    void (*move)(Form&, int button, int shift, float x, float y) = nullptr;
};
using Handlers = std::span<const Handler>;

// A control's live state. The design stays as it was; the fields below are what the program changes.
struct Control {
    const ControlDesign* design = nullptr;
    std::size_t designIndex = 0;  // its place in the design's list of controls
    std::string caption;
    bool visible = true;
    bool enabled = true;
    int value = 0;
    Picture picture = Picture::None;

    const std::string& name() const { return design->name; }
    int index() const { return design->index; }
    ControlKind kind() const { return design->kind; }
    bool selected() const { return value != 0; }
};

struct Timer {
    const TimerDesign* design = nullptr;
    std::size_t designIndex = 0;  // its place in the design's list of timers
    int intervalMs = 0;
    bool enabled = false;
    // A timer ticks only while it is enabled with an interval above zero.
    bool running() const { return enabled && intervalMs > 0; }
};

class Form {
  public:
    // The handler table must outlive the form (a constant of the window's file).
    Form(Backend& backend, const FormDesign& design, Handlers handlers = {});
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const FormDesign& design() const { return design_; }
    const std::string& name() const { return design_.name; }

    // These load the form first when it is not loaded.
    void load();
    void show();  // visible and activated; a visible form is only activated
    void hide();
    void setVisible(bool visible);
    void restore();  // window state normal
    Control& control(std::string_view name, int index = kNoIndex);
    Timer& timer(std::string_view name);
    void setCaption(Control& control, std::string caption);
    void setControlVisible(Control& control, bool visible);
    void setEnabled(Control& control, bool enabled);
    void setPicture(Control& control, Picture picture);
    void setIcon(Picture icon);
    // Selects an option button and clears the other option buttons of its container.
    void select(Control& option);
    void setValue(Control& control, int value);
    void setTimerEnabled(Timer& timer, bool enabled);
    void setTimerInterval(Timer& timer, int intervalMs);
    std::uintptr_t nativeHandle(Control& control);

    // These never load the form.
    bool loaded() const { return loaded_; }
    bool visible() const { return loaded_ && visible_; }
    Picture icon() const { return icon_; }
    void unload();
    const std::vector<Control>& controls() const { return controls_; }
    const std::vector<Timer>& timers() const { return timers_; }
    // The option buttons of an option's container (its group), itself included, in the design's order.
    std::vector<const Control*> optionGroup(const Control& option) const;
    // Where an arrow key moves from an option: to the next one of its group below it (or above it), round
    // from the last to the first, among those the user can see and reach; none where there is no other.
    const Control* optionAfterArrow(const Control& option, bool down) const;
    // For the backend, which delivers events to the control or timer it built from this list.
    Control& controlAt(std::size_t index) { return controls_.at(index); }
    Timer& timerAt(std::size_t index) { return timers_.at(index); }

    // Events, delivered by the backend. Each runs to its end before the next one.
    void userClicked(Control& control);  // a press of a button, option button or check box
    void userMenu(std::string_view item);
    void userTimer(Timer& timer);
    void userMouseMove(Control& control, int button, int shift, float x, float y);
    void userClose();   // the close box of the title bar, or the system closing the window
    void userEscape();  // presses the cancel button, where the window has one the user can reach
    void shellRestarted();

    // The names the window's handlers answer to; each must be in its design, or its event never comes.
    std::vector<HandledName> handledNames() const;

  protected:
    // The handlers that are not in the table. The defaults do what a window without its own does.
    virtual void Form_Load() {}
    virtual void Form_Unload() { unload(); }
    virtual void onShellRestarted() {}

    Backend& backend() { return backend_; }

  private:
    Control* find(std::string_view name, int index);
    // Brings the screen to the form's visibility, unless a load holds shows back.
    void showOnScreen();
    const Handler* handlerFor(Handler::Event event, std::string_view name, int index) const;

    Backend& backend_;
    const FormDesign& design_;
    Handlers handlers_;
    bool loaded_ = false;
    bool visible_ = false;
    bool onScreen_ = false;      // what the window was last told
    bool activateHeld_ = false;  // a show() whose activation waits with it
    Picture icon_ = Picture::None;
    std::vector<Control> controls_;
    std::vector<Timer> timers_;
    std::unique_ptr<WindowPeer> peer_;
};

namespace detail {
template <typename>
struct MemberOf;
template <typename F, typename R, typename... Args>
struct MemberOf<R (F::*)(Args...)> {
    using Class = F;
};
template <auto M>
using FormOf = typename MemberOf<decltype(M)>::Class;

// The table holds the window as a Form; the row knows which window class its handler belongs to.
template <auto M>
void call(Form& form) {
    (static_cast<FormOf<M>&>(form).*M)();
}
template <auto M>
void callMove(Form& form, int button, int shift, float x, float y) {
    (static_cast<FormOf<M>&>(form).*M)(button, shift, x, y);
}
}  // namespace detail

template <auto M>
constexpr Handler click(std::string_view control, int index = kNoIndex) {
    return {Handler::Event::Click, control, index, &detail::call<M>};
}
template <auto M>
constexpr Handler menu(std::string_view item) {
    return {Handler::Event::Menu, item, kNoIndex, &detail::call<M>};
}
template <auto M>
constexpr Handler tick(std::string_view timer) {
    return {Handler::Event::Timer, timer, kNoIndex, &detail::call<M>};
}
template <auto M>
constexpr Handler mouseMove(std::string_view control, int index = kNoIndex) {
    return {Handler::Event::MouseMove, control, index, nullptr, &detail::callMove<M>};
}

}  // namespace ui
