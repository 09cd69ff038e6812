// Form10: the version or state of each of the program's functions, with tooltips on the first five.
#pragma once

#include <vector>

#include "ui/form.h"

namespace app {
class Program;
}

namespace info {

const ui::FormDesign& form10Design();

class Form10 : public ui::Form {
  public:
    explicit Form10(app::Program& program);

    std::vector<ui::HandledName> handledNames() const override;

    void Command1_Click();

  protected:
    void onClick(ui::Control& control) override;
};

}  // namespace info
