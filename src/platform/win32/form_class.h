// The window classes and styles of the program's windows: one class per form, named after it, and the
// class of the controls the program paints itself.
#pragma once

#include <windows.h>

#include <string>

#include "ui/design.h"

namespace win32 {

struct Styles {
    DWORD style;
    DWORD exStyle;
};

Styles windowStyles(const ui::FormDesign& design);
// Registers the form's class on its first load; gives its name.
std::wstring registerFormClass(HINSTANCE instance, const ui::FormDesign& design, WNDPROC proc);
void registerPaintedChildClass(HINSTANCE instance);

}  // namespace win32
