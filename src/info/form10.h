#pragma once

#include "ui/form.h"

namespace app {
class Program;
}

namespace info {

const ui::FormDesign& form10Design();

class Form10 : public ui::Form {
public:
    explicit Form10(app::Program& program);

private:
    app::Program& program_;
};

}  // namespace info
