// What the Windows-side tests of the program's windows share: a window built from a design alone, a
// control's child window, and a wait that lets a window of the test's own thread and its controls paint
// what they show now, before their pixels are read or a screenshot is taken.
#pragma once

#include <windows.h>

#include <string_view>

#include "ui/form.h"

namespace win_tests {

// A window built from a design alone, without the handlers of the program's own window.
class Plain : public ui::Form {
  public:
    using Form::Form;
};

inline HWND child(ui::Form& form, std::string_view name, int index = ui::kNoIndex) {
    return reinterpret_cast<HWND>(form.nativeHandle(form.control(name, index)));
}

inline void settle(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const DWORD end = GetTickCount() + 300;
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

}  // namespace win_tests
