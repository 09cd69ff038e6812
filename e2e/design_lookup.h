// Finding a control's window by its name in the window's design.
#pragma once

#include <stdexcept>
#include <string_view>

#include "e2e/driver.h"
#include "ui/design.h"

namespace e2e {

inline int designIndex(const ui::FormDesign& design, std::string_view name, int index = ui::kNoIndex) {
    for (std::size_t i = 0; i < design.controls.size(); ++i) {
        if (design.controls[i].name == name && design.controls[i].index == index) {
            return static_cast<int>(i);
        }
    }
    throw std::logic_error("no such control");
}

inline HWND control(HWND form, const ui::FormDesign& design, std::string_view name,
                    int index = ui::kNoIndex) {
    return control(form, designIndex(design, name, index));
}

}  // namespace e2e
