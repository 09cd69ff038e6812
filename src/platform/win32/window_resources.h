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

// What a colour is for. In high contrast the design's colours give way to the system's pair for the role:
// a user who chose white on black must not get white text on pastel.
enum class ColourRole {
    Background,  // windows and the controls on them: the window colour in high contrast
    Text,        // their text: the window text colour
    ButtonFace,  // the program's own drawn buttons
    ButtonText,
};

class WindowResources {
  public:
    explicit WindowResources(int dpi) : dpi_(dpi) {}

    HFONT fontFor(const ui::Font& font);
    // The colour and brush a design colour is drawn in for its role. A colour left to the default is the
    // face colour of buttons for backgrounds, the system's text colour for text.
    COLORREF colour(const ui::Colour& colour, ColourRole role) const;
    HBRUSH brush(const ui::Colour& colour, ColourRole role);
    bool highContrast() const { return highContrast_; }
    // High contrast turned on or off, or the system colours changed: the brushes are made again.
    void coloursChanged(bool highContrast);
    // The fonts for a new DPI are made from now on. The old ones are handed back: the controls still
    // hold them until they are given the new ones.
    [[nodiscard]] std::vector<UniqueFont> changeDpi(int dpi);

  private:
    int dpi_;
    bool highContrast_ = false;
    std::vector<std::pair<ui::Font, UniqueFont>> fonts_;
    std::vector<std::pair<COLORREF, UniqueBrush>> brushes_;
};

}  // namespace win32
