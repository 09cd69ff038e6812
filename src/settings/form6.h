// Form6: the start-up window and the settings dialog. Its controls are the settings: Option1 holds the
// optimization level, Option2 the scan level and Check1 the backup flag; nothing else keeps a copy.
#pragma once

#include <string>
#include <string_view>

#include "settings/settings_file.h"
#include "ui/form.h"

namespace app {
class Program;
}

namespace settings {

const ui::FormDesign& form6Design();

class Form6 : public ui::Form {
  public:
    explicit Form6(app::Program& program);

    // Hides the main window (loading it, with its tray icon, the first time), then reads 1.dat into
    // the controls; may reset the file, ask about an incompatible one, or end the program.
    void LoadSettings();
    // OK: hides the dialog and saves the controls to 1.dat.
    void Command1_Click();

    // The index of the selected member of an option-button array (Option1 or Option2).
    int selectedIndex(std::string_view array);

  protected:
    // The start-up sequence: Form6 is the window the program creates first.
    void Form_Load() override;

  private:
    std::string settingsPath() const;
    void finishInterruptedSave();
    void apply(const Parsed& parsed);
    void applyDefaults();
    void startWithDefaults(const char* notice, bool& said);

    app::Program& program_;
};

}  // namespace settings
