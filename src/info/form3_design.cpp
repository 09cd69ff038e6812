#include "info/info_window.h"

namespace info {

using namespace ui;

namespace {

constexpr const char* kBannerText = "Kolbrin";  // what the drawing says, for screen readers

}  // namespace

const FormDesign& form3Design() {
    static const FormDesign design{
        .name = "Form3",
        .caption = "バージョン情報",
        .unit = Unit::Pixels,
        .clientWidth = 323,
        .clientHeight = 149,
        .border = Border::Sizable,
        .minButton = true,
        .maxButton = true,
        .showInTaskbar = true,
        .controls =
            {
                {.name = "Command1",
                 .kind = ControlKind::Button,
                 .rect = {217, 84, 71, 40},
                 .caption = "OK",
                 .tabIndex = 0,
                 .isDefault = true,
                 .isCancel = true,
                 .handCursor = true},
                {.name = "Image1",
                 .kind = ControlKind::Image,
                 .rect = {28, 7, 268, 43},
                 .picture = Picture::Banner,
                 .accessibleName = kBannerText},
                // Its picture is the main window's icon, given at load.
                {.name = "Picture1",
                 .kind = ControlKind::PictureBox,
                 .rect = {49, 56, 43, 36},
                 .tabIndex = 1},
                {.name = "Label2",
                 .kind = ControlKind::Label,
                 .rect = {133, 56, 184, 22},
                 .caption = "Version.1.20",
                 .fore = rgb(128, 0, 0),
                 .font = {kPGothic, 18, true, true}},
                {.name = "Label3",
                 .kind = ControlKind::Label,
                 .rect = {28, 98, 169, 22},
                 .caption = "Kolbrin Project",
                 .font = {kPGothic, 15.75, true, false}},
            },
        .dialog = true,
    };
    return design;
}

}  // namespace info
