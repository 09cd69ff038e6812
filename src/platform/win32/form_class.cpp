#include "platform/win32/form_class.h"

#include "platform/win32/control_peers.h"
#include "platform/win32/text.h"

namespace win32 {

Styles windowStyles(const ui::FormDesign& d) {
    Styles s{WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    switch (d.border) {
        case ui::Border::None:
            s.style |= WS_POPUP;
            break;
        case ui::Border::Sizable:
            s.style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
            s.style |= d.minButton ? WS_MINIMIZEBOX : 0;
            s.style |= d.maxButton ? WS_MAXIMIZEBOX : 0;
            break;
        case ui::Border::FixedToolWindow:
            s.style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
            s.exStyle |= WS_EX_TOOLWINDOW;
            break;
    }
    s.exStyle |= d.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    return s;
}

std::wstring registerFormClass(HINSTANCE instance, const ui::FormDesign& design, WNDPROC proc) {
    std::wstring name = L"Kolbrin." + widen(design.name);
    WNDCLASSEXW wc{sizeof wc};
    if (!GetClassInfoExW(instance, name.c_str(), &wc)) {
        wc = WNDCLASSEXW{sizeof wc};
        wc.lpfnWndProc = proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = name.c_str();
        RegisterClassExW(&wc);
    }
    return name;
}

void registerPaintedChildClass(HINSTANCE instance) {
    // The painted controls get all their behaviour from their peers' hook.
    WNDCLASSEXW child{sizeof child};
    child.lpfnWndProc = DefWindowProcW;
    child.hInstance = instance;
    child.hCursor = LoadCursor(nullptr, IDC_ARROW);
    child.lpszClassName = kPaintedChildClass;
    RegisterClassExW(&child);
}

}  // namespace win32
