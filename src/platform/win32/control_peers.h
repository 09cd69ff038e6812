// The real child window of one control, one class per kind of control. Each kind knows how its window is
// created, how it shows the control's state, its colours, its drawing and whether it takes the keyboard
// focus; the form's window only routes the messages its children send it back to their peers.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

#include "ui/form.h"

namespace win32 {

class FormWindow;

inline constexpr wchar_t kPaintedChildClass[] = L"Kolbrin.Child";  // frames and picture boxes
inline constexpr int kFirstControlId = 100;

class ControlPeer {
  public:
    ControlPeer(FormWindow& window, std::size_t designIndex) : window_(window), designIndex_(designIndex) {}
    virtual ~ControlPeer() = default;
    ControlPeer(const ControlPeer&) = delete;
    ControlPeer& operator=(const ControlPeer&) = delete;

    // Creates the child window, laid out and showing the control's state.
    void create();
    // Places the child and sets its font from the design at the window's DPI; again after a DPI change.
    virtual void layout();
    // Shows the control's current state (caption, check mark, picture, enabled, visible).
    void update();

    HWND hwnd() const { return hwnd_; }
    std::size_t designIndex() const { return designIndex_; }
    int id() const { return kFirstControlId + static_cast<int>(designIndex_); }
    const ui::Control& control() const;

    // Whether the kind can hold the keyboard focus at all, and whether its window can right now.
    virtual bool takesFocus() const { return false; }
    bool canTakeFocus() const;
    virtual bool isPushButton() const { return false; }

    // Messages the child sends its parent, routed back here.
    virtual void command(WORD /*notification*/) {}
    virtual HBRUSH colours(HDC dc);
    virtual void drawItem(const DRAWITEMSTRUCT& /*item*/) {}
    // Messages of a child of the window's own painted class.
    virtual LRESULT ownMessage(UINT msg, WPARAM wp, LPARAM lp);

  protected:
    struct Creation {
        const wchar_t* className;
        DWORD style;
        DWORD exStyle = 0;
    };
    virtual Creation creation() const = 0;
    virtual bool showsCaption() const { return true; }
    virtual void created() {}
    // The kind's own part of the state, beyond caption, enabled and visible.
    virtual void mirror() {}
    // The back colour the control shows: its own, or the window's.
    virtual ui::Colour background() const;

    ui::Control& liveControl();
    const ui::ControlDesign& design() const { return *control().design; }
    void clicked(WORD notification);

    FormWindow& window_;

  private:
    std::size_t designIndex_;
    HWND hwnd_ = nullptr;
};

std::unique_ptr<ControlPeer> makeControlPeer(FormWindow& window, const ui::Control& control);

// A design colour as the system draws it; a colour left to the default takes the system colour given.
COLORREF colourOf(const ui::Colour& colour, int defaultIndex);

}  // namespace win32
