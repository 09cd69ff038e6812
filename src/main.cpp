// Kolbrin.exe: the library search made safe, the DPI awareness, then the program (platform/win32/entry).
#include <windows.h>

#include <cstdlib>
#include <string>

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

// What std::terminate calls unless told otherwise. The C++ library's own first writes the exception's type,
// demangled, to the standard error, which a windowed program does not have; its demangler and the printf
// it uses were a fifth of the program. Both then end the program the same way.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

// Newer C++ libraries (GCC 13 on) keep the rare path of a string's replace in the library, in the object
// file that holds every member of the string class: calling it from there links all of them, 30 KB of
// the 32-bit program. Made here, the program keeps only what it uses.
#if defined(_GLIBCXX_RELEASE) && _GLIBCXX_RELEASE >= 13
template void std::string::_M_replace_cold(char*, std::string::size_type, const char*,
                                           const std::string::size_type, const std::string::size_type);
template void std::wstring::_M_replace_cold(wchar_t*, std::wstring::size_type, const wchar_t*,
                                            const std::wstring::size_type, const std::wstring::size_type);
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    loadLibrariesFromTheSystemFolderOnly();
    // The manifest declares the DPI awareness (per monitor where the system knows it); this covers a host
    // that reads no manifest, and changes nothing where the manifest has been read.
    SetProcessDPIAware();
    return win32::runProgram(instance);
}
