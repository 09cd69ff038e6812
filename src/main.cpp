// Kolbrin.exe: the Win32 backend and services, and the program's start.
#include <windows.h>

#include "app/program.h"
#include "platform/win32/backend.h"
#include "platform/win32/services.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The manifest declares the DPI awareness (per monitor where the system knows it); this covers a host
    // that reads no manifest, and changes nothing where the manifest has been read.
    SetProcessDPIAware();
    win32::Backend backend(instance);
    win32::Files files;
    win32::Shell shell;
    app::Program program(backend, files, shell);
    program.start();
    return backend.run();
}
