// Kolbrin.exe: the library search made safe, the DPI awareness, then the program (platform/win32/entry).
#include <windows.h>

#include "platform/win32/entry.h"
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

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    loadLibrariesFromTheSystemFolderOnly();
    // The manifest declares the DPI awareness (per monitor where the system knows it); this covers a host
    // that reads no manifest, and changes nothing where the manifest has been read.
    SetProcessDPIAware();
    return win32::runProgram(instance);
}
