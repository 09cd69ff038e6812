#include "info/info_window.h"

namespace info {

using namespace ui;

namespace {

// Each name padded to 20 characters, so that the versions stand in one column in the fixed-pitch font.
constexpr const char* kTechnologies =
    "Tarn Core Engine    Version.2.03\r\n"
    "Tarn MemoryMapper   Version.1.12\r\n"
    "Tarn QuickPlace     Version.0.98\r\n"
    "Tarn StableWatch    Version.1.01\r\n";

constexpr const char* kTitle = "使用Tarnテクノロジ";

}  // namespace

const FormDesign& form2Design() {
    static const FormDesign design{
        .name = "Form2",
        .caption = kTitle,
        .unit = Unit::Pixels,
        .clientWidth = 329,
        .clientHeight = 84,
        .border = Border::FixedToolWindow,
        .showInTaskbar = false,
        .back = rgb(0, 128, 128),
        .controls =
            {
                {.name = "Text1",
                 .kind = ControlKind::TextBox,
                 .rect = {7, 7, 267, 71},
                 .caption = kTechnologies,
                 .back = rgb(192, 255, 255),
                 .font = {kGothic, 11.25},
                 .tabIndex = 1,
                 .multiLine = true,
                 .readOnly = true,
                 .accessibleName = kTitle},  // the list has no label of its own
                {.name = "Command1",
                 .kind = ControlKind::Button,
                 .rect = {280, 7, 43, 71},
                 .caption = "OK",
                 .tabIndex = 0,
                 .isDefault = true,
                 .isCancel = true,
                 .handCursor = true},
            },
        .dialog = true,
    };
    return design;
}

}  // namespace info
