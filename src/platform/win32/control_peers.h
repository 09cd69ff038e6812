// The real child window of one control, one class per kind of control. Each kind knows how its window is
// created, how it shows the control's state, its colours, its drawing and whether it takes the keyboard
// focus. Every message of the child reaches its peer through the peer's subclass hook; the notifications
// the child sends its parent reach the peer by a call from the window.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

#include "platform/win32/accessibility.h"
#include "ui/form.h"
#include "ui/scale.h"

namespace win32 {

class FormWindow;

inline constexpr wchar_t kPaintedChildClass[] = L"Kolbrin.Child";  // frames and picture boxes
inline constexpr int kFirstControlId = 100;

class ControlPeer : public AccessibleSource {
  public:
    ControlPeer(FormWindow& window, std::size_t designIndex) : window_(window), designIndex_(designIndex) {}
    virtual ~ControlPeer();
    ControlPeer(const ControlPeer&) = delete;
    ControlPeer& operator=(const ControlPeer&) = delete;

    // Creates the child window, hooked, laid out and showing the control's state; throws when the system
    // refuses the window.
    void create();
    // Places the child and sets its font from the design at the window's DPI; again after a DPI change.
    void layout();
    // Shows the control's current state (caption, check mark, picture, enabled, visible).
    void update();

    HWND hwnd() const { return hwnd_; }
    std::size_t designIndex() const { return designIndex_; }
    int id() const { return kFirstControlId + static_cast<int>(designIndex_); }
    const ui::Control& control() const;

    // Whether the kind can hold the keyboard focus at all, whether its window can right now, and whether
    // it can once the window shows the control's state.
    virtual bool takesFocus() const { return false; }
    bool canTakeFocus() const;
    bool canTakeFocusOnceUpdated() const { return takesFocus() && control().visible && control().enabled; }
    virtual bool isPushButton() const { return false; }
    // What a screen reader is told beyond what the system reads from the child by itself.
    void describe(AccessibleFacts& facts) const override;

    // The notifications the child sends its parent, handed over by the window: a command (a button's
    // click), the colours to paint in (sets them in the DC, gives the background brush), an item to draw.
    virtual void commanded(WORD /*code*/) {}
    HBRUSH colours(HDC dc);
    virtual void drawItem(const DRAWITEMSTRUCT& /*item*/) {}

    // The hook every peer's child has from its creation until WM_NCDESTROY, when it takes itself off.
    static constexpr UINT_PTR kHookId = 1;
    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR peer);

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
    // Every message of the child. What a kind does not handle goes to defaultHandling.
    virtual LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT defaultHandling(UINT msg, WPARAM wp, LPARAM lp);

    ui::Control& liveControl();
    const ui::ControlDesign& design() const { return *control().design; }
    ui::Scale scale() const;
    void clicked(WORD notification);

    FormWindow& window_;

  private:
    LRESULT answerScreenReader(WPARAM wp, LPARAM lp);

    std::size_t designIndex_;
    HWND hwnd_ = nullptr;
};

std::unique_ptr<ControlPeer> makeControlPeer(FormWindow& window, const ui::Control& control);

// The kinds the program paints itself (drawn_peers.cpp).
std::unique_ptr<ControlPeer> makeCheckablePeer(FormWindow& window, const ui::Control& control);
std::unique_ptr<ControlPeer> makeFramePeer(FormWindow& window, std::size_t designIndex);
std::unique_ptr<ControlPeer> makePicturePeer(FormWindow& window, std::size_t designIndex);

}  // namespace win32
