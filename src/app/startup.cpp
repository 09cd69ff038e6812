// The start-up sequence. It is the load handler of Form6, the window the program creates first.
#include "app/program.h"

namespace settings {

void Form6::Form_Load() {
    // When the settings dialog has been closed, its next use loads it again and runs all of this once
    // more; the instance test then passes, because this process is the one holding the name.
    if (program_.shell.anotherInstanceRunning()) {
        program_.backend.messageBox("既に起動しています。", ui::MessageButtons::Ok);
        program_.backend.endProgram();
    }
    program_.AppPath = app::withFinalBackslash(program_.shell.exeFolder());
    LoadSettings();
}

}  // namespace settings
