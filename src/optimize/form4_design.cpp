#include "optimize/form4.h"

namespace optimize {

using namespace ui;

const FormDesign& form4Design() {
    static const FormDesign design{
        .name = "Form4",
        .caption = "Form4",
        .unit = Unit::Twips,
        .clientWidth = 2130,
        .clientHeight = 1920,
        .border = Border::None,
        .showInTaskbar = false,
        .back = rgb(192, 192, 255),
        .controls =
            {
                {.name = "Label1",
                 .kind = ControlKind::Label,
                 .rect = {315, 210, 1485, 225},
                 .caption = "最適化中……",
                 .back = rgb(192, 192, 255),
                 .font = {.points = 11.25},
                 .tabIndex = 0},
                {.name = "Label2",
                 .kind = ControlKind::Label,
                 .rect = {525, 630, 1065, 330},
                 .back = rgb(192, 192, 255),
                 .font = {.points = 12},
                 .tabIndex = 1,
                 .quiet = true},
                {.name = "Command1",
                 .kind = ControlKind::Button,
                 .rect = {600, 1200, 960, 375},
                 .caption = "OK",
                 .tabIndex = 2,
                 .enabled = false,
                 .handCursor = true,
                 .describedBy = "Label2"},  // the run's result, when the run ends on OK
                {.name = "Command2",
                 .kind = ControlKind::Button,
                 .rect = {600, 1200, 975, 375},
                 .caption = "ｷｬﾝｾﾙ",
                 .tabIndex = 3,
                 .describedBy = "Label2"},  // the run's progress, while it has the focus
            },
        .timers = {{.name = "Timer1", .intervalMs = 30, .enabled = false}},
        .namedBy = "Label1",
        .dialog = true,
    };
    return design;
}

}  // namespace optimize
