#include "platform/win32/window_resources.h"

#include <string>

#include "platform/win32/text.h"

namespace win32 {

COLORREF colourOf(const ui::Colour& colour, int defaultIndex) {
    switch (colour.kind) {
        case ui::Colour::Kind::Rgb:
            return RGB(colour.rgb.r, colour.rgb.g, colour.rgb.b);
        case ui::Colour::Kind::System:
            return GetSysColor(colour.systemIndex);
        case ui::Colour::Kind::Default:
            break;
    }
    return GetSysColor(defaultIndex);
}

HFONT WindowResources::fontFor(const ui::Font& font) {
    for (const auto& [f, h] : fonts_) {
        if (f == font) {
            return h.get();
        }
    }
    LOGFONTW lf{};
    lf.lfHeight = ui::Scale(ui::Unit::Pixels, dpi_).fontHeight(font.points);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    std::wstring face = widen(font.face);
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    fonts_.emplace_back(font, UniqueFont(CreateFontIndirectW(&lf)));
    return fonts_.back().second.get();
}

COLORREF WindowResources::colour(const ui::Colour& colour, ColourRole role) const {
    struct Indices {
        int normal;  // for a colour left to the default
        int contrast;
    };
    static constexpr Indices kByRole[] = {
        {COLOR_BTNFACE, COLOR_WINDOW},
        {COLOR_WINDOWTEXT, COLOR_WINDOWTEXT},
        {COLOR_BTNFACE, COLOR_BTNFACE},
        {COLOR_BTNTEXT, COLOR_BTNTEXT},
    };
    const Indices& i = kByRole[static_cast<int>(role)];
    return highContrast_ ? GetSysColor(i.contrast) : colourOf(colour, i.normal);
}

HBRUSH WindowResources::brush(const ui::Colour& colour, ColourRole role) {
    COLORREF c = this->colour(colour, role);
    for (const auto& [key, brush] : brushes_) {
        if (key == c) {
            return brush.get();
        }
    }
    brushes_.emplace_back(c, UniqueBrush(CreateSolidBrush(c)));
    return brushes_.back().second.get();
}

void WindowResources::coloursChanged(bool highContrast) {
    highContrast_ = highContrast;
    // Brushes are kept by colour: those of colours no longer drawn would otherwise pile up with each change.
    brushes_.clear();
}

std::vector<UniqueFont> WindowResources::changeDpi(int dpi) {
    dpi_ = dpi;
    std::vector<UniqueFont> old;
    for (auto& [font, handle] : fonts_) {
        old.push_back(std::move(handle));
    }
    fonts_.clear();
    return old;
}

}  // namespace win32
