// The system calls the program looks up at run time rather than import: those that older systems lack
// (the per-monitor DPI calls, the message filter, the library search) and everything of comctl32.
// comctl32 is not one of the libraries the system always takes from its own folder, so an import by name
// would load a comctl32.dll planted beside the program; it is loaded here from the system folder only.
#pragma once

#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <unknwn.h>

namespace win32 {

struct SystemCalls {
    // user32, Windows 10 1607 and later; null elsewhere.
    UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
    BOOL(WINAPI* adjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT) = nullptr;
    BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, PVOID, UINT, UINT) = nullptr;
    int(WINAPI* getSystemMetricsForDpi)(int, UINT) = nullptr;
    // user32, Windows 7 and later.
    BOOL(WINAPI* changeWindowMessageFilterEx)(HWND, UINT, DWORD, void*) = nullptr;
    // kernel32: Windows 8, and Windows 7 with its 2011 security update.
    BOOL(WINAPI* setDefaultDllDirectories)(DWORD) = nullptr;

    // shcore, Windows 8.1 and later; filled in by loadSystemLibraries(), null elsewhere.
    HRESULT(WINAPI* getDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;

    // comctl32, filled in by loadSystemLibraries(), which fails loudly when it cannot.
    BOOL(WINAPI* initCommonControlsEx)(const INITCOMMONCONTROLSEX*) = nullptr;
    BOOL(WINAPI* setWindowSubclass)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR) = nullptr;
    BOOL(WINAPI* removeWindowSubclass)(HWND, SUBCLASSPROC, UINT_PTR) = nullptr;
    LRESULT(WINAPI* defSubclassProc)(HWND, UINT, WPARAM, LPARAM) = nullptr;

    // oleacc, filled in by loadAccessibility(); null when it cannot be loaded.
    LRESULT(WINAPI* lresultFromObject)(const IID&, WPARAM, IUnknown*) = nullptr;
    HRESULT(WINAPI* createStdAccessibleObject)(HWND, LONG, const IID&, void**) = nullptr;
};

// Looked up once for the whole process; loads no library.
const SystemCalls& systemCalls();

// Puts the window thread into a COM apartment, once for the process (the thread lives as long as it does):
// opening a document through the shell and handing objects to screen readers want it. False when the
// system refused.
bool enterComApartment();

// Loads comctl32 (and shcore where there is one) from the system folder and registers the common
// controls' window classes; throws when comctl32 cannot be had.
void loadSystemLibraries();

// Loads oleacc from the system folder, once, when a screen reader first asks a window; true when its
// calls are there. Like comctl32 it is not a library the system always takes from its own folder.
bool loadAccessibility();

}  // namespace win32
