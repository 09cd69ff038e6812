// Form2: the list of the Tarn technologies the program is built on, as a read-only text.
#pragma once

#include <vector>

#include "ui/form.h"

namespace app {
class Program;
}

namespace info {

const ui::FormDesign& form2Design();

class Form2 : public ui::Form {
  public:
    explicit Form2(app::Program& program);

    std::vector<ui::HandledName> handledNames() const override;

    void Command1_Click();

  protected:
    void onClick(ui::Control& control) override;
};

}  // namespace info
