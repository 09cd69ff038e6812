// Form3: the About window, with the banner, the main window's icon and the program's version.
#pragma once

#include <vector>

#include "ui/form.h"

namespace app {
class Program;
}

namespace info {

const ui::FormDesign& form3Design();

class Form3 : public ui::Form {
  public:
    explicit Form3(app::Program& program);

    std::vector<ui::HandledName> handledNames() const override;

    void Command1_Click();

  protected:
    void Form_Load() override;
    void onClick(ui::Control& control) override;

  private:
    app::Program& program_;
};

}  // namespace info
