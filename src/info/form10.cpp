#include "info/form10.h"

#include "app/program.h"

namespace info {

const ui::FormDesign& form10Design() {
    static const ui::FormDesign design{.name = "Form10"};
    return design;
}

Form10::Form10(app::Program& program) : Form(program.backend, form10Design()), program_(program) {}

}  // namespace info
