// The information windows: Form2, the list of the Tarn technologies the program is built on, as a
// read-only text; Form3, the About window, with the banner, the main window's icon and the program's
// version; Form10, the version or state of each of the program's functions, with tooltips on the first
// five. Each shows its design and closes on OK, so one class serves the three; only the About window
// has a load step.
#pragma once

#include "ui/form.h"

namespace app {
class Program;
}

namespace info {

const ui::FormDesign& form2Design();
const ui::FormDesign& form3Design();
const ui::FormDesign& form10Design();

class InfoWindow : public ui::Form {
  public:
    using LoadStep = void (*)(InfoWindow& window, app::Program& program);

    InfoWindow(app::Program& program, const ui::FormDesign& design, LoadStep load = nullptr);

    void Command1_Click();

  protected:
    void Form_Load() override;

  private:
    app::Program& program_;
    LoadStep load_;
};

// Form3's load step: its picture and its own icon are the main window's icon.
void form3Load(InfoWindow& form3, app::Program& program);

}  // namespace info
