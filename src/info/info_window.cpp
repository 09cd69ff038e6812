#include "info/info_window.h"

#include "app/program.h"

namespace info {

namespace {

constexpr ui::Handler kHandlers[] = {ui::click<&InfoWindow::Command1_Click>("Command1")};

}  // namespace

InfoWindow::InfoWindow(app::Program& program, const ui::FormDesign& design, LoadStep load)
    : Form(program.backend, design, kHandlers), program_(program), load_(load) {}

void InfoWindow::Form_Load() {
    if (load_) {
        load_(*this, program_);
    }
}

void InfoWindow::Command1_Click() {
    unload();
}

void form3Load(InfoWindow& form3, app::Program& program) {
    form3.setPicture(form3.control("Picture1"), program.form1.icon());
    form3.setIcon(program.form1.icon());
}

}  // namespace info
