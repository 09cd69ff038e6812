// The fonts and brushes a window and its controls draw with, made at the window's DPI and kept until the
// window goes or its DPI changes.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "platform/win32/handles.h"
#include "ui/design.h"
#include "ui/scale.h"

namespace win32 {

// A design colour as the system draws it; a colour left to the default takes the system colour given.
COLORREF colourOf(const ui::Colour& colour, int defaultIndex);

class WindowResources {
  public:
    explicit WindowResources(int dpi) : dpi_(dpi) {}

    HFONT fontFor(const ui::Font& font);
    // A colour left to the default is the face colour of buttons.
    HBRUSH brushFor(const ui::Colour& colour);
    // The fonts for a new DPI are made from now on. The old ones are handed back: the controls still
    // hold them until they are given the new ones.
    [[nodiscard]] std::vector<UniqueFont> changeDpi(int dpi);

  private:
    int dpi_;
    std::vector<std::pair<ui::Font, UniqueFont>> fonts_;
    std::vector<std::pair<COLORREF, UniqueBrush>> brushes_;
};

}  // namespace win32
