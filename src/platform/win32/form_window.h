// One loaded form as a real top-level window. Each control is a child window with a peer of its kind
// (control_peers.h). The window creates and places them, turns its messages into calls of named handlers
// and hands the notifications of its children to their peers; the focus, the message boxes, the fonts and
// brushes and the menu bar each have their own owner.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/control_peers.h"
#include "platform/win32/focus_cues.h"
#include "platform/win32/focus_keeper.h"
#include "platform/win32/handles.h"
#include "platform/win32/menu_bar.h"
#include "platform/win32/tooltips.h"
#include "platform/win32/window_resources.h"
#include "ui/backend.h"
#include "ui/form.h"
#include "ui/scale.h"

namespace win32 {

class Backend;

class FormWindow : public ui::WindowPeer, public AccessibleSource {
  public:
    // Throws when the system refuses the window or one of its controls.
    FormWindow(Backend& backend, ui::Form& form);
    ~FormWindow() override { destroy(); }

    void setVisible(bool visible) override;
    void activate() override;
    void restore() override;
    void controlChanged(const ui::Control& control) override;
    void timerChanged(const ui::Timer& timer) override;
    void iconChanged() override;
    std::uintptr_t nativeHandle(const ui::Control& control) const override;

    void destroy();
    HWND hwnd() const { return window_.get(); }

    // For the control peers: the window's form, its system resources and its scale.
    ui::Form& form() { return form_; }
    Backend& backend() { return backend_; }
    ui::Scale scale() const { return ui::Scale(form_.design().unit, dpi_); }
    WindowResources& resources() { return resources_; }
    bool focusCuesShown() const { return cues_.shown(); }
    // The window a control's child window belongs to: the frame that holds it, else the window itself.
    HWND parentFor(const ui::ControlDesign& control) const;
    ControlPeer& peerAt(std::size_t designIndex) { return *peers_.at(designIndex); }
    // The notifications a child sends its parent, the window or the frame that holds it, which hands them
    // on here: each goes to the child's peer by a call.
    static bool isChildNotification(UINT msg) {
        return msg == WM_COMMAND || msg == WM_DRAWITEM || msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN ||
               msg == WM_CTLCOLOREDIT;
    }
    LRESULT childNotified(UINT msg, WPARAM wp, LPARAM lp);
    // A control's text has changed: screen readers hear of it, and of what it names or describes.
    void textChanged(const ControlPeer& peer);

  private:
    static LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);

    void create();
    void placeWindow();
    void createControls();
    void stackInTabOrder(const std::vector<int>& order);
    ControlPeer* peerOf(HWND child) const;

    LRESULT onCommand(WPARAM wp, LPARAM lp);
    LRESULT onActivate(WPARAM wp, LPARAM lp);
    LRESULT onSetCursor(WPARAM wp, LPARAM lp);
    void onTimer(UINT_PTR id);
    void onClose(bool closing);
    void eraseBackground(HDC dc);
    void changeDpi(int dpi);
    void onDpiChanged(int dpi, const RECT& suggested);
    bool onGetDpiScaledSize(int dpi, SIZE& size) const;
    void onColoursChanged();
    LRESULT onUiState(UINT msg, WPARAM wp, LPARAM lp);
    void describe(AccessibleFacts& facts) const override;
    std::optional<LRESULT> answerScreenReader(WPARAM wp, LPARAM lp) const;

    Backend& backend_;
    ui::Form& form_;
    UniqueWindow window_;  // taken over by the system when it destroys the window itself
    int dpi_;
    MenuBar menu_;
    WindowResources resources_;
    std::optional<Tooltips> tooltips_;
    std::vector<std::unique_ptr<ControlPeer>> peers_;  // by design index
    FocusKeeper focus_{peers_};
    FocusCues cues_;
};

}  // namespace win32
