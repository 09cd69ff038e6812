// Form1: the main window. It owns the tray icon (its record IconData and the hidden picRespond that the
// shell notifies), and its buttons and menus are the program's commands.
#pragma once

#include <string_view>
#include <vector>

#include "platform/services.h"
#include "ui/form.h"

namespace app {

class Program;

const ui::FormDesign& form1Design();

// The mouse message the shell reports as the X of picRespond_MouseMove for a left-button press.
inline constexpr float kTrayLeftButtonDown = platform::kWmLButtonDown;

class Form1 : public ui::Form {
  public:
    explicit Form1(Program& program);

    platform::IconData IconData;

    void aTarn_Click();
    void aEnd_Click();
    void aHelp_Click();
    void aKaishi_Click();
    void aMemscan_Click();
    void aSettei_Click();
    void aTecver_Click();
    void aToji_Click();
    void aVersion_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void picRespond_MouseMove(int button, int shift, float x, float y);
    // Offers the tray icon again while the shell has not taken it.
    void trayRetry_Timer();

    // Removes the tray icon and ends the program at once: the one way out of the program.
    [[noreturn]] void exitProgram();
    // Takes the icon out of the notification area, as the program is about to end.
    void removeTrayIcon();

  protected:
    void Form_Load() override;
    void Form_Unload() override;
    void onShellRestarted() override;

  private:
    void addTrayIcon();
    void askForKeyboardVersion();
    void startOptimization();
    void startScan();
    void openSettings();

    Program& program_;
};

}  // namespace app
