// One loaded form as a real top-level window with a child window for every control of its design.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

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

  private:
    static LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK childProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT childMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);

    void createControls();
    HWND createControl(const ui::Control& control, int id);
    RECT placeOf(const ui::ControlDesign& design) const;
    int scale(int designUnits) const;
    HFONT fontFor(const ui::Font& font);
    HBRUSH brushFor(const ui::Colour& colour);
    COLORREF colourOf(const ui::Colour& colour, int defaultIndex) const;
    int controlAt(HWND child) const;
    ui::Control& liveControl(int index);

    // The keyboard focus, kept on a control as in a dialog: remembered while the window is inactive or
    // hidden, given back when it is activated, and moved on when its control can no longer hold it.
    bool canTakeFocus(int index) const;
    int nextInTabOrder(int after) const;
    int focusedControl() const;
    void rememberFocus();
    void restoreFocus();
    void giveFocusTo(int index);
    void focusChanged(int index, bool couldTakeFocus, bool hadFocus);

    LRESULT onCommand(WPARAM wp, LPARAM lp);
    LRESULT onControlColour(HDC dc, HWND child, UINT msg, WPARAM wp, LPARAM lp);
    void onDrawItem(const DRAWITEMSTRUCT& item);
    void paintFrame(HWND frame, const ui::Control& control);
    void paintPicture(HWND picture, const ui::Control& control);

    Backend& backend_;
    ui::Form& form_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    HMENU menu_ = nullptr;
    int dpi_;
    std::vector<HWND> children_;  // by control index in the form's control list
    std::vector<int> tabOrder_;   // control indices in the order Tab visits them
    std::map<UINT, std::string> menuItems_;
    std::vector<UniqueFont> fonts_;
    std::vector<std::pair<ui::Font, HFONT>> fontIndex_;
    std::vector<std::pair<COLORREF, UniqueBrush>> brushes_;
    int focus_ = -1;      // the control that has the focus, or gets it back on activation; -1 none
    int focusLeft_ = -1;  // where the focus was when no control could take it over
};

}  // namespace win32
