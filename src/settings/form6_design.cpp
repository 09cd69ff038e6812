#include "settings/form6.h"

namespace settings {

using namespace ui;

const FormDesign& form6Design() {
    static const FormDesign design{
        .name = "Form6",
        .caption = "設定",
        .unit = Unit::Twips,
        .clientWidth = 4215,
        .clientHeight = 2490,
        .border = Border::FixedToolWindow,
        .showInTaskbar = false,
        .back = rgb(128, 255, 255),
        .controls =
            {
                {.name = "Command1", .kind = ControlKind::Button, .rect = {1470, 1920, 1380, 435},
                 .caption = "OK", .back = rgb(0, 192, 192), .tabIndex = 0, .isDefault = true,
                 .handCursor = true, .style = ButtonStyle::Graphical},
                {.name = "Frame1", .kind = ControlKind::Frame, .rect = {210, 210, 1800, 1275},
                 .caption = "最適化速度", .tooltip = "最適化の程度を指定します", .back = rgb(128, 255, 128),
                 .tabIndex = 1},
                {.name = "Option1", .index = 1, .kind = ControlKind::OptionButton, .container = "Frame1",
                 .rect = {105, 630, 750, 225}, .caption = "通常", .back = rgb(128, 255, 128), .tabIndex = 2,
                 .value = 1},
                {.name = "Option1", .index = 0, .kind = ControlKind::OptionButton, .container = "Frame1",
                 .rect = {105, 315, 1380, 225}, .caption = "すばやく簡単", .back = rgb(128, 255, 128),
                 .tabIndex = 3},
                {.name = "Option1", .index = 2, .kind = ControlKind::OptionButton, .container = "Frame1",
                 .rect = {105, 945, 1590, 225}, .caption = "ゆっくり念入りに", .back = rgb(128, 255, 128),
                 .tabIndex = 4},
                {.name = "Frame2", .kind = ControlKind::Frame, .rect = {2205, 210, 1800, 1275},
                 .caption = "メモリスキャン速度", .tooltip = "メモリスキャンの程度を指定します",
                 .back = rgb(255, 255, 128), .tabIndex = 5},
                {.name = "Option2", .index = 0, .kind = ControlKind::OptionButton, .container = "Frame2",
                 .rect = {105, 315, 1380, 225}, .caption = "すばやく簡単", .back = rgb(255, 255, 128),
                 .tabIndex = 6},
                {.name = "Option2", .index = 1, .kind = ControlKind::OptionButton, .container = "Frame2",
                 .rect = {105, 630, 1170, 225}, .caption = "通常", .back = rgb(255, 255, 128), .tabIndex = 7,
                 .value = 1},
                {.name = "Option2", .index = 2, .kind = ControlKind::OptionButton, .container = "Frame2",
                 .rect = {105, 945, 1590, 225}, .caption = "ゆっくり念入りに", .back = rgb(255, 255, 128),
                 .tabIndex = 8},
                {.name = "Check1", .kind = ControlKind::CheckBox, .rect = {210, 1575, 2430, 225},
                 .caption = "バックアップしながら最適化",
                 .tooltip = "バックアップしながら最適化するので安定性が増します。", .back = rgb(128, 255, 255),
                 .tabIndex = 9},
            },
    };
    return design;
}

}  // namespace settings
