// The tooltips of one window's controls: one tooltip window, its font and line width at the window's DPI.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/handles.h"
#include "ui/scale.h"

namespace win32 {

class Tooltips {
  public:
    // Throws when the system refuses the tooltip window. It belongs to `window` and goes with it.
    Tooltips(HWND window, HINSTANCE instance);

    void add(HWND control, const std::string& text);
    // The font and line width for the window's scale; again after a DPI change.
    void layout(const ui::Scale& scale);

  private:
    HWND window_;
    HWND tooltip_;
    UniqueFont font_;
};

}  // namespace win32
