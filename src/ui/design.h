// A window's design as data: what the form editor would have stored for it. Each window of the program
// keeps one FormDesign, written so that it reads like the table of controls it came from; the runtime
// builds the window from it on every load, and the tests read it to check what the real window shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ui {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

// A colour is either a fixed RGB value or one of the system's colours (by its system colour index).
struct Colour {
    enum class Kind { Default, Rgb, System };
    Kind kind = Kind::Default;
    Rgb rgb{};
    int systemIndex = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

constexpr Colour rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return {Colour::Kind::Rgb, {r, g, b}, 0};
}
constexpr Colour systemColour(int index) {
    return {Colour::Kind::System, {}, index};
}
inline constexpr int kColour3dLight = 22;     // COLOR_3DLIGHT
inline constexpr int kColourButtonFace = 15;  // COLOR_BTNFACE

inline constexpr const char* kPGothic = "ＭＳ Ｐゴシック";
inline constexpr const char* kGothic = "ＭＳ ゴシック";

struct Font {
    std::string face = kPGothic;
    double points = 9.0;
    bool bold = false;
    bool italic = false;
    friend bool operator==(const Font&, const Font&) = default;
};

// Positions are in the unit of the window's design: twips (1/1440 inch) or pixels at 96 dpi.
enum class Unit { Twips, Pixels };

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(Rect, Rect) = default;
};

enum class ControlKind {
    Label,
    Button,
    OptionButton,
    CheckBox,
    Frame,
    TextBox,
    PictureBox,
    Image,
};

enum class ButtonStyle { Standard, Graphical };
enum class Align { Left, Centre };

// Pictures the program carries: the main window's icon and the About window's banner drawing.
enum class Picture { None, MainIcon, Banner };

inline constexpr int kNoIndex = -1;

struct ControlDesign {
    std::string name;      // design name, e.g. "Command1" or "Option1"
    int index = kNoIndex;  // member of a control array, or kNoIndex
    ControlKind kind = ControlKind::Label;
    std::string container;  // name of the frame that holds it; empty for the window itself
    Rect rect;              // relative to the container's client area
    std::string caption;
    std::string tooltip;
    Colour back;
    Colour fore;
    Font font;
    int tabIndex = 0;
    bool visible = true;
    bool enabled = true;
    int value = 0;  // option buttons: 1 selected; check boxes: 0 clear, 1 ticked
    bool isDefault = false;
    bool isCancel = false;  // Escape presses it
    bool handCursor = false;
    ButtonStyle style = ButtonStyle::Standard;
    Align align = Align::Left;
    bool multiLine = false;
    bool readOnly = false;
    Picture picture = Picture::None;
    // For screen readers, where the design shows no text: the control's name, and the control whose
    // caption describes it (else its tooltip does). A quiet control's caption changes at every tick (a
    // percentage): what it describes stays readable, but no change of it is announced.
    std::string accessibleName;
    std::string describedBy;
    bool quiet = false;
};

struct TimerDesign {
    std::string name;
    int intervalMs = 0;
    bool enabled = false;
};

struct MenuItemDesign {
    std::string name;
    std::string caption;  // empty for a separator
    bool separator = false;
};

struct MenuDesign {
    std::string name;
    std::string caption;
    std::vector<MenuItemDesign> items;
};

enum class Border {
    None,             // no border and no title bar
    Sizable,          // resizable frame; boxes as the flags say
    FixedToolWindow,  // narrow caption, close box only, not resizable
};

struct FormDesign {
    std::string name;
    std::string caption;
    Unit unit = Unit::Twips;
    int clientWidth = 0;
    int clientHeight = 0;
    Border border = Border::Sizable;
    bool minButton = false;
    bool maxButton = false;
    bool showInTaskbar = true;
    Colour back;
    Picture icon = Picture::None;
    std::vector<ControlDesign> controls;
    std::vector<TimerDesign> timers;
    std::vector<MenuDesign> menus;
    // For screen readers: the control whose caption names the window (else its caption does), and the
    // controls whose captions, one after the other, describe it.
    std::string namedBy;
    std::vector<std::string> describedBy;
    // For screen readers: a dialog, read out when it opens as a message box is, for a window whose texts
    // are not all on controls that take the focus (labels, a banner, a run's progress).
    bool dialog = false;
};

}  // namespace ui
