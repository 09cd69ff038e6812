#pragma once

#include "ui/form.h"

namespace app {
class Program;
}

namespace optimize {

const ui::FormDesign& form4Design();

class Form4 : public ui::Form {
public:
    explicit Form4(app::Program& program);

private:
    app::Program& program_;
};

}  // namespace optimize
