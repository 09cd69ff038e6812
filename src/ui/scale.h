// Design units and points as pixels at a DPI. A window is laid out again from its design at every DPI it
// meets, never scaled from the pixels it had, so each length is rounded once and no error builds up.
#pragma once

#include "ui/design.h"

namespace ui {

inline constexpr int kDesignDpi = 96;  // the pixels of a pixel design, and the reference screen

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(PixelRect, PixelRect) = default;
};

class Scale {
  public:
    constexpr Scale(Unit unit, int dpi) : perInch_(unit == Unit::Twips ? 1440 : kDesignDpi), dpi_(dpi) {}

    constexpr int dpi() const { return dpi_; }
    // A length in the design's unit.
    constexpr int operator()(int designUnits) const { return rounded(designUnits, perInch_); }
    // A length the program draws by itself, given in pixels of the reference screen.
    constexpr int pixels(int pixelsAt96) const { return rounded(pixelsAt96, kDesignDpi); }
    // The height of a font of this many points, as a LOGFONT wants it (negative: the character height).
    constexpr int fontHeight(double points) const {
        const double exact = points * dpi_ / 72.0;
        return -static_cast<int>(exact + 0.5);
    }

  private:
    // value * dpi / perInch to the nearest pixel, halves away from zero.
    constexpr int rounded(int value, int perInch) const {
        const long long product = static_cast<long long>(value) * dpi_;
        const long long magnitude = (product < 0 ? -product : product) + perInch / 2;
        return static_cast<int>(product < 0 ? -(magnitude / perInch) : magnitude / perInch);
    }

    int perInch_;
    int dpi_;
};

// Where a control lies: in its window's client area, or in its parent window, which for a control in a
// frame is the frame. Its design rectangle is relative to the frame that holds it.
enum class Origin { Window, Parent };
PixelRect placeOf(const FormDesign& form, const ControlDesign& control, const Scale& scale,
                  Origin origin = Origin::Window);

}  // namespace ui
