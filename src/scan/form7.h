// Form7: the memory scan. A borderless window that counts 100 ticks at the pace of the scan level,
// names its stages on the way and ends with the result "異常なし"; it looks at nothing on the computer.
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

    // Ticks done in this run: 0 after load, whole numbers up to 100.
    float progress = 0;

    void Timer1_Timer();
    void Command1_Click();

  protected:
    void Form_Load() override;

  private:
    app::Program& program_;
};

}  // namespace scan
