// The system calls the program looks up at run time rather than import: the per-monitor DPI calls of
// user32, which older systems lack, and everything of comctl32. comctl32 is not one of the libraries the
// system always takes from its own folder, so an import by name would load a comctl32.dll planted beside
// the program; it is loaded here from the system folder only.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

namespace win32 {

struct SystemCalls {
    // user32, Windows 10 1607 and later; null elsewhere.
    UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
    BOOL(WINAPI* adjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT) = nullptr;
    BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, PVOID, UINT, UINT) = nullptr;

    // comctl32: present on every system the program runs on; loadCommonControls() fails loudly otherwise.
    BOOL(WINAPI* initCommonControlsEx)(const INITCOMMONCONTROLSEX*) = nullptr;
    BOOL(WINAPI* setWindowSubclass)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR) = nullptr;
    BOOL(WINAPI* removeWindowSubclass)(HWND, SUBCLASSPROC, UINT_PTR) = nullptr;
    LRESULT(WINAPI* defSubclassProc)(HWND, UINT, WPARAM, LPARAM) = nullptr;
};

// Looked up once for the whole process.
const SystemCalls& systemCalls();

// Loads comctl32 from the system folder and registers its window classes; throws when that fails.
void loadCommonControls();

}  // namespace win32
