#include "ui/scale.h"

namespace ui {

PixelRect placeOf(const FormDesign& form, const ControlDesign& control, const Scale& scale, Origin origin) {
    int left = scale(control.rect.left), top = scale(control.rect.top);
    if (origin == Origin::Window && !control.container.empty()) {
        for (const auto& c : form.controls) {
            if (c.name == control.container) {
                left += scale(c.rect.left);
                top += scale(c.rect.top);
            }
        }
    }
    return PixelRect{left, top, scale(control.rect.width), scale(control.rect.height)};
}

}  // namespace ui
