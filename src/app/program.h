// The program: its services and its windows, each window one object reached through its name.
#pragma once

#include <string>

#include "app/form1.h"
#include "info/info_window.h"
#include "optimize/form4.h"
#include "platform/services.h"
#include "scan/form7.h"
#include "settings/form6.h"
#include "ui/backend.h"

namespace app {

class Program {
  public:
    Program(ui::Backend& backend, platform::Files& files, platform::Shell& shell);

    // Creates the start-up window Form6, hidden, which runs the whole start-up in its Form_Load.
    void start();

    ui::Backend& backend;
    platform::Files& files;
    platform::Shell& shell;

    // The program folder, always ending in "\"; set once by the start-up.
    std::string AppPath;
    // The settings could not be stored at some start-up of this run, and the user has been told.
    bool defaultsNotStoredSaid = false;
    // The settings file could not be read at some start-up of this run, and the user has been told.
    bool settingsUnreadSaid = false;

    Form1 form1;
    settings::Form6 form6;
    optimize::Form4 form4;
    scan::Form7 form7;
    info::InfoWindow form2;
    info::InfoWindow form3;
    info::InfoWindow form10;
};

// The folder as the program keeps it: with exactly one final "\", a drive's root included.
std::string withFinalBackslash(std::string folder);

}  // namespace app
