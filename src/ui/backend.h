// What the form runtime needs from a windowing system. The Win32 backend realises it with real windows;
// the headless backend keeps everything in memory for the native tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class Form;
struct Control;
struct Timer;

// The real window behind one loaded form. Destroying the peer destroys the window and its controls.
class WindowPeer {
  public:
    virtual ~WindowPeer() = default;
    virtual void setVisible(bool visible) = 0;
    virtual void activate() = 0;
    virtual void restore() = 0;  // window state normal
    virtual void controlChanged(const Control& control) = 0;
    virtual void timerChanged(const Timer& timer) = 0;
    virtual void iconChanged() = 0;
    // The system's handle of a control's window, as the shell wants it in a notification record.
    virtual std::uintptr_t nativeHandle(const Control& control) const = 0;
};

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Windows made visible while a load handler runs reach the screen only when the outermost load is over,
// and only if they are still visible then. The start-up makes the main window visible in its load and
// hides it again in the same run; on Windows a show activates, so the user would see a frame and a
// taskbar button flash. Hiding is never held back: a window the program hides is gone at once.
class ScreenHold {
  public:
    bool holding() const { return loadsRunning_ > 0; }
    void loadStarted() { ++loadsRunning_; }
    // The forms whose show waited, when the outermost load has just ended; empty otherwise.
    std::vector<Form*> loadEnded();
    void defer(Form& form);
    void forget(Form& form);

  private:
    int loadsRunning_ = 0;
    std::vector<Form*> deferred_;
};

class Backend {
  public:
    virtual ~Backend() = default;
    ScreenHold& screenHold() { return screenHold_; }
    // Creates the window of a form that is being loaded, hidden, with all the controls of its design.
    virtual std::unique_ptr<WindowPeer> createPeer(Form& form) = 0;
    // A window being unloaded: the backend may keep the object until the event that unloaded it returns.
    virtual void retirePeer(std::unique_ptr<WindowPeer> peer) = 0;
    // A modal message box: caption "Kolbrin", no icon, the first button the default.
    virtual MessageAnswer messageBox(const std::string& text, MessageButtons buttons) = 0;
    // The system's handle of the program's main icon, for the notification record.
    virtual std::uintptr_t mainIconHandle() = 0;
    // Ends the process at once. No window's closing logic runs.
    [[noreturn]] virtual void endProgram() = 0;

  private:
    ScreenHold screenHold_;
};

}  // namespace ui
