#include "scan/form7.h"

#include "app/program.h"

namespace scan {

const ui::FormDesign& form7Design() {
    static const ui::FormDesign design{.name = "Form7"};
    return design;
}

Form7::Form7(app::Program& program) : Form(program.backend, form7Design()), program_(program) {}

}  // namespace scan
