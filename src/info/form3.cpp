#include "info/form3.h"

#include "app/program.h"

namespace info {

const ui::FormDesign& form3Design() {
    static const ui::FormDesign design{.name = "Form3"};
    return design;
}

Form3::Form3(app::Program& program) : Form(program.backend, form3Design()), program_(program) {}

}  // namespace info
