#pragma once

#include "ui/form.h"

namespace app {
class Program;
}

namespace info {

const ui::FormDesign& form3Design();

class Form3 : public ui::Form {
public:
    explicit Form3(app::Program& program);

private:
    app::Program& program_;
};

}  // namespace info
