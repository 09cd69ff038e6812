#include "platform/win32/system_calls.h"

#include <objbase.h>

#include <string>

#include "platform/win32/refusal.h"

namespace win32 {

namespace {

// Not in every SDK's headers: honoured by Windows 8 and later, and by Windows 7 with KB2533623.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

template <typename Fn>
void lookUp(HMODULE module, const char* name, WORD ordinal, Fn& into) {
    FARPROC found = GetProcAddress(module, name);
    if (found == nullptr && ordinal != 0) {
        // comctl32 before version 6 exports the subclass calls by number only.
        found = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    }
    into = reinterpret_cast<Fn>(reinterpret_cast<void*>(found));
}

HMODULE loadFromSystemFolder(const wchar_t* name) {
    // The flag is refused (invalid parameter) by a Windows 7 without the update; the full path does the
    // same there.
    if (HMODULE module = LoadLibraryExW(name, nullptr, kSearchSystem32)) {
        return module;
    }
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    std::wstring path = std::wstring(folder, length) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

SystemCalls lookUpAll() {
    SystemCalls calls;
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
        lookUp(user32, "GetDpiForWindow", 0, calls.getDpiForWindow);
        lookUp(user32, "AdjustWindowRectExForDpi", 0, calls.adjustWindowRectExForDpi);
        lookUp(user32, "SystemParametersInfoForDpi", 0, calls.systemParametersInfoForDpi);
        lookUp(user32, "GetSystemMetricsForDpi", 0, calls.getSystemMetricsForDpi);
        lookUp(user32, "ChangeWindowMessageFilterEx", 0, calls.changeWindowMessageFilterEx);
    }
    if (HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll")) {
        lookUp(kernel32, "SetDefaultDllDirectories", 0, calls.setDefaultDllDirectories);
    }
    return calls;
}

SystemCalls& calls() {
    static SystemCalls calls = lookUpAll();
    return calls;
}

}  // namespace

const SystemCalls& systemCalls() {
    return calls();
}

bool enterComApartment() {
    static bool entered = false;
    if (!entered) {
        entered = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
    return entered;
}

void loadSystemLibraries() {
    SystemCalls& calls = win32::calls();
    if (HMODULE shcore = loadFromSystemFolder(L"shcore.dll")) {
        lookUp(shcore, "GetDpiForMonitor", 0, calls.getDpiForMonitor);
    }
    // Kept loaded for the life of the process: its window classes and subclass hooks live in it.
    if (HMODULE comctl32 = loadFromSystemFolder(L"comctl32.dll")) {
        lookUp(comctl32, "InitCommonControlsEx", 0, calls.initCommonControlsEx);
        lookUp(comctl32, "SetWindowSubclass", 410, calls.setWindowSubclass);
        lookUp(comctl32, "RemoveWindowSubclass", 412, calls.removeWindowSubclass);
        lookUp(comctl32, "DefSubclassProc", 413, calls.defSubclassProc);
    }
    if (calls.initCommonControlsEx == nullptr || calls.setWindowSubclass == nullptr ||
        calls.removeWindowSubclass == nullptr || calls.defSubclassProc == nullptr) {
        throw SystemRefused("コモン コントロール (comctl32.dll) を読み込めませんでした。");
    }
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    if (!calls.initCommonControlsEx(&icc)) {
        throw SystemRefused("コモン コントロールを登録できませんでした。");
    }
}

bool loadAccessibility() {
    static const bool loaded = [] {
        SystemCalls& calls = win32::calls();
        // Kept loaded: the objects handed to screen readers run its code.
        if (HMODULE oleacc = loadFromSystemFolder(L"oleacc.dll")) {
            lookUp(oleacc, "LresultFromObject", 0, calls.lresultFromObject);
            lookUp(oleacc, "CreateStdAccessibleObject", 0, calls.createStdAccessibleObject);
        }
        return calls.lresultFromObject != nullptr && calls.createStdAccessibleObject != nullptr;
    }();
    return loaded;
}

}  // namespace win32
