#include "scan/form7.h"

namespace scan {

using namespace ui;

namespace {

constexpr Colour kWindowBack = rgb(255, 128, 255);

}  // namespace

const FormDesign& form7Design() {
    static const FormDesign design{
        .name = "Form7",
        .unit = Unit::Pixels,
        .clientWidth = 258,
        .clientHeight = 160,
        .border = Border::None,
        .showInTaskbar = false,
        .back = kWindowBack,
        .icon = Picture::None,
        .controls =
            {
                {.name = "Label1",
                 .kind = ControlKind::Label,
                 .rect = {63, 14, 141, 15},
                 .caption = "メモリスキャン中……",
                 .back = kWindowBack,
                 .font = {.points = 11.25}},
                // Blank until the first tick names the first stage, like the percentage below it.
                {.name = "Label3",
                 .kind = ControlKind::Label,
                 .rect = {7, 42, 239, 15},
                 .back = rgb(128, 255, 128),
                 .fore = rgb(192, 0, 0),
                 .font = {.points = 11.25},
                 .align = Align::Centre},
                {.name = "Label2",
                 .kind = ControlKind::Label,
                 .rect = {118, 84, 71, 22},
                 .back = kWindowBack,
                 .font = {.points = 12},
                 .quiet = true},
                {.name = "Command1",
                 .kind = ControlKind::Button,
                 .rect = {83, 120, 92, 29},
                 .caption = "OK",
                 .enabled = false,
                 .handCursor = true,
                 .describedBy = "Label3"},  // the scan's result, when the scan ends on OK
            },
        .timers = {{.name = "Timer1", .intervalMs = 0, .enabled = false}},
        .namedBy = "Label1",
        // Nothing in the window takes the focus while the scan runs: the window tells its stage and
        // percentage itself.
        .describedBy = {"Label3", "Label2"},
        .dialog = true,
    };
    return design;
}

}  // namespace scan
