#include "info/form2.h"

#include "app/program.h"

namespace info {

const ui::FormDesign& form2Design() {
    static const ui::FormDesign design{.name = "Form2"};
    return design;
}

Form2::Form2(app::Program& program) : Form(program.backend, form2Design()), program_(program) {}

}  // namespace info
