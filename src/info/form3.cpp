#include "info/form3.h"

#include "app/program.h"

namespace info {

using namespace ui;

namespace {

using Click = Handler<Form3>;
constexpr Click kClicks[] = {
    {"Command1", kNoIndex, &Form3::Command1_Click},
};

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
                 .handCursor = true},
                {.name = "Image1",
                 .kind = ControlKind::Image,
                 .rect = {28, 7, 268, 43},
                 .picture = Picture::Banner},
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
    };
    return design;
}

Form3::Form3(app::Program& program) : Form(program.backend, form3Design()), program_(program) {}

void Form3::Form_Load() {
    setPicture(control("Picture1"), program_.form1.icon());
    setIcon(program_.form1.icon());
}

void Form3::Command1_Click() {
    unload();
}

std::vector<ui::HandledName> Form3::handledNames() const {
    std::vector<ui::HandledName> names;
    ui::appendNames(names, ui::HandledName::Kind::Control, kClicks);
    return names;
}

void Form3::onClick(Control& control) {
    dispatch(*this, kClicks, control.name(), control.index());
}

}  // namespace info
