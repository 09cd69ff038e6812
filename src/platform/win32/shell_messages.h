// Messages the shell sends to the program's windows.
#pragma once

#include <windows.h>

namespace win32 {

// Lets a registered message from the shell through to the window when the program runs with more rights
// than Explorer (run as administrator): the system drops such messages from a less trusted sender
// otherwise. Nothing on systems that filter no messages.
void acceptFromShell(HWND window, UINT message);

}  // namespace win32
