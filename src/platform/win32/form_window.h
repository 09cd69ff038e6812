// One loaded form as a real top-level window. Each control is a child window with a peer of its kind
// (control_peers.h); the window keeps what belongs to the window: creation and placement, activation and
// the keyboard focus, timers, menus, tooltips and the DPI it is laid out for.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/control_peers.h"
#include "platform/win32/handles.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace win32 {

class Backend;

class FormWindow : public ui::WindowPeer {
  public:
    FormWindow(Backend& backend, ui::Form& form);
    ~FormWindow() override;

    void setVisible(bool visible) override;
    void activate() override;
    void restore() override;
    void controlChanged(const ui::Control& control) override;
    void timerChanged(const ui::Timer& timer) override;
    void iconChanged() override;
    std::uintptr_t nativeHandle(const ui::Control& control) const override;

    void destroy();
    HWND hwnd() const { return hwnd_; }

    static void registerClasses(HINSTANCE instance);

    // For the control peers: the window's form, its system resources and its scale.
    ui::Form& form() { return form_; }
    Backend& backend() { return backend_; }
    int dpi() const { return dpi_; }
    int scale(int designUnits) const;
    RECT placeOf(const ui::ControlDesign& design) const;
    HFONT fontFor(const ui::Font& font);
    HBRUSH brushFor(const ui::Colour& colour);

  private:
    static LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK childProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);

    void placeWindow();
    SIZE exactSize(int width, int height);
    void createControls();
    void addTooltip(const ControlPeer& peer);
    void layoutTooltips();
    ControlPeer* peerOf(HWND child) const;
    ControlPeer* peerWithId(int id) const;
    int indexOf(HWND child) const;

    // The keyboard focus, kept on a control as in a dialog: remembered while the window is inactive or
    // hidden, given back when it is activated, and moved on when its control can no longer hold it.
    int nextInTabOrder(int after) const;
    int focusedControl() const;
    void rememberFocus();
    void restoreFocus();
    void giveFocusTo(int index);
    void focusChanged(int index, bool couldTakeFocus, bool hadFocus);

    LRESULT onCommand(WPARAM wp, LPARAM lp);
    LRESULT onActivate(WPARAM wp, LPARAM lp);
    LRESULT onSetCursor(WPARAM wp, LPARAM lp);
    LRESULT defaultButton() const;
    void onTimer(UINT_PTR id);
    void eraseBackground(HDC dc);
    void onDpiChanged(int dpi, const RECT& suggested);

    Backend& backend_;
    ui::Form& form_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    HMENU menu_ = nullptr;
    int dpi_;
    std::vector<std::unique_ptr<ControlPeer>> peers_;  // by design index
    std::vector<int> tabOrder_;                        // design indices in the order Tab visits them
    std::map<UINT, std::string> menuItems_;
    // Fonts at the window's DPI; a DPI change makes new ones and releases these.
    std::vector<std::pair<ui::Font, UniqueFont>> fonts_;
    UniqueFont tooltipFont_;
    std::vector<std::pair<COLORREF, UniqueBrush>> brushes_;
    int focus_ = -1;      // the control that has the focus, or gets it back on activation; -1 none
    int focusLeft_ = -1;  // where the focus was when no control could take it over
};

}  // namespace win32
