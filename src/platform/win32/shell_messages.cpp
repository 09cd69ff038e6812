#include "platform/win32/shell_messages.h"

namespace win32 {

namespace {

constexpr DWORD kMessageFilterAllow = 1;  // MSGFLT_ALLOW

using ChangeWindowMessageFilterExFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);

}  // namespace

void acceptFromShell(HWND window, UINT message) {
    // Looked up at run time: a system that lacks the call has no filter to open either.
    static const auto change = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        return user32 == nullptr ? nullptr
                                 : reinterpret_cast<ChangeWindowMessageFilterExFn>(reinterpret_cast<void*>(
                                       GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
    }();
    if (change != nullptr && window != nullptr && message != 0) {
        change(window, message, kMessageFilterAllow, nullptr);
    }
}

}  // namespace win32
