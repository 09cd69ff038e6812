// Kolbrin.exe: the Win32 backend and services, and the program's start.
#include <windows.h>

#include <cstdlib>

#include "app/program.h"
#include "platform/win32/backend.h"
#include "platform/win32/services.h"
#include "platform/win32/system_calls.h"

namespace {

// The program is unzipped and started from folders such as Downloads, where anyone may have put a library
// with a system name. Libraries loaded from here on come from the system folder only: neither the current
// folder nor the program's own is searched.
void loadLibrariesFromTheSystemFolderOnly() {
    SetDllDirectoryW(L"");
    // Windows 7 has the call only with its 2011 security update.
    if (auto setDefault = win32::systemCalls().setDefaultDllDirectories) {
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

}  // namespace

// What std::terminate calls unless told otherwise. The C++ library's own first writes the exception's type,
// demangled, to the standard error, which a windowed program does not have; its demangler and the printf
// it uses were a fifth of the program. Both then end the program the same way.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    loadLibrariesFromTheSystemFolderOnly();
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
