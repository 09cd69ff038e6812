// The form runtime on real Win32 windows.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/win32/handles.h"
#include "ui/backend.h"

namespace win32 {

class FormWindow;

class Backend : public ui::Backend {
  public:
    explicit Backend(HINSTANCE instance);
    ~Backend() override;

    std::unique_ptr<ui::WindowPeer> createPeer(ui::Form& form) override;
    void retirePeer(std::unique_ptr<ui::WindowPeer> peer) override;
    ui::MessageAnswer messageBox(const std::string& text, ui::MessageButtons buttons) override;
    std::uintptr_t mainIconHandle() override;
    [[noreturn]] void endProgram() override;

    // Runs the message loop until the program ends.
    int run();

    HINSTANCE instance() const { return instance_; }
    // The program's icon drawn for the small or big icon's size at a DPI; the backend keeps it.
    HICON icon(bool small, int dpi) const;
    HCURSOR handCursor() const { return hand_; }
    HENHMETAFILE banner() const { return banner_.get(); }
    UINT taskbarCreatedMessage() const { return taskbarCreated_; }

    // The program's windows, for a message box that must keep every one of them out of reach.
    void windowCreated(FormWindow& window);
    void windowDestroyed(FormWindow& window);
    bool messageBoxOpen() const { return openBoxes_ > 0; }
    // Raises the open message box over everything and activates it; nothing when no box is open.
    void bringMessageBoxForward() const;

    // Activates the program's window in front when none of its windows is active (and no box is up).
    void keepActivationInProgram() const;

  private:
    HWND boxOwner() const;
    bool isShownWindow(HWND h) const;
    HWND topShownWindow() const;

    HINSTANCE instance_;
    UINT taskbarCreated_;
    mutable std::map<std::pair<bool, int>, UniqueIcon> icons_;
    HCURSOR hand_;
    UniqueMetafile banner_;
    // Windows unloaded by their own event handlers: destroyed at once, freed when the event is over.
    std::vector<std::unique_ptr<ui::WindowPeer>> retired_;
    std::vector<FormWindow*> windows_;
    int openBoxes_ = 0;
};

}  // namespace win32
