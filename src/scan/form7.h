#pragma once

#include "ui/form.h"

namespace app {
class Program;
}

namespace scan {

const ui::FormDesign& form7Design();

class Form7 : public ui::Form {
public:
    explicit Form7(app::Program& program);

private:
    app::Program& program_;
};

}  // namespace scan
