#include "optimize/form4.h"

#include "app/program.h"

namespace optimize {

const ui::FormDesign& form4Design() {
    static const ui::FormDesign design{.name = "Form4"};
    return design;
}

Form4::Form4(app::Program& program) : Form(program.backend, form4Design()), program_(program) {}

}  // namespace optimize
