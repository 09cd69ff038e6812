// The form runtime on real Win32 windows.
#pragma once

#include <windows.h>

#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/message_boxes.h"
#include "ui/backend.h"

namespace win32 {

class Backend : public ui::Backend {
  public:
    // Loads the common controls from the system folder first; throws when they cannot be had.
    explicit Backend(HINSTANCE instance);
    ~Backend() override;

    std::unique_ptr<ui::WindowPeer> createPeer(ui::Form& form) override;
    void retirePeer(std::unique_ptr<ui::WindowPeer> peer) override;
    ui::MessageAnswer messageBox(const std::string& text, ui::MessageButtons buttons) override;
    std::uintptr_t mainIconHandle() override;
    [[noreturn]] void endProgram() override;

    // Runs the message loop until the program ends; rethrows what a window procedure gave up on.
    int run();
    // A window procedure caught a failure it cannot pass on through the system: the message loop ends
    // and hands it on. From here on no window of the program runs its handlers.
    void abandon(std::exception_ptr failure);
    bool abandoned() const { return failure_ != nullptr; }

    HINSTANCE instance() const { return instance_; }
    // The program's icon drawn for the small or big icon's size at a DPI; the backend keeps it.
    HICON icon(bool small, int dpi) const;
    HCURSOR handCursor() const { return hand_; }
    HENHMETAFILE banner() const { return banner_.get(); }
    UINT taskbarCreatedMessage() const { return taskbarCreated_; }
    MessageBoxes& boxes() { return boxes_; }

    // Whether the user asked for high contrast. The one place the program asks, so that a test can decide
    // it where the system cannot (Wine never reports high contrast).
    bool highContrast() const;
    void overrideHighContrast(std::optional<bool> on) { highContrastOverride_ = on; }
    // Whether the keyboard, rather than the mouse, was the last device used in the program's windows.
    bool keyboardUsedLast() const { return keyboardUsedLast_; }
    // A key that reached the program other than as a key message (the shell's report of Enter or Space
    // on the tray icon).
    void noteKeyboardUse() { keyboardUsedLast_ = true; }

  private:
    void noteInput(const MSG& msg);

    HINSTANCE instance_;
    UINT taskbarCreated_;
    mutable std::map<std::pair<bool, int>, UniqueIcon> icons_;
    HCURSOR hand_;
    UniqueMetafile banner_;
    // Windows unloaded by their own event handlers: destroyed at once, freed when the event is over.
    std::vector<std::unique_ptr<ui::WindowPeer>> retired_;
    MessageBoxes boxes_;
    std::optional<bool> highContrastOverride_;
    bool keyboardUsedLast_ = false;
    std::exception_ptr failure_;
};

}  // namespace win32
