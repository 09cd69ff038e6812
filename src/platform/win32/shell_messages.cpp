#include "platform/win32/shell_messages.h"

#include "platform/win32/system_calls.h"

namespace win32 {

void acceptFromShell(HWND window, UINT message) {
    constexpr DWORD kMessageFilterAllow = 1;  // MSGFLT_ALLOW
    // A system that lacks the call has no filter to open either.
    if (auto change = systemCalls().changeWindowMessageFilterEx;
        change != nullptr && window != nullptr && message != 0) {
        change(window, message, kMessageFilterAllow, nullptr);
    }
}

}  // namespace win32
