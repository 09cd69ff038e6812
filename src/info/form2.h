#pragma once

#include "ui/form.h"

namespace app {
class Program;
}

namespace info {

const ui::FormDesign& form2Design();

class Form2 : public ui::Form {
public:
    explicit Form2(app::Program& program);

private:
    app::Program& program_;
};

}  // namespace info
