#include "platform/win32/menu_bar.h"

#include "platform/win32/text.h"

namespace win32 {

namespace {

// Far above the controls' numbers, which start at kFirstControlId.
constexpr UINT kFirstMenuId = 1000;

}  // namespace

MenuBar::MenuBar(const ui::FormDesign& design) {
    if (design.menus.empty()) {
        return;
    }
    owned_.reset(CreateMenu());
    handle_ = owned_.get();
    UINT id = kFirstMenuId;
    for (const auto& top : design.menus) {
        HMENU popup = CreatePopupMenu();
        for (const auto& item : top.items) {
            if (item.separator) {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            } else {
                items_[id] = item.name;
                AppendMenuW(popup, MF_STRING, id++, widen(item.caption).c_str());
            }
        }
        // From here the bar owns the popup, and destroys it with itself.
        AppendMenuW(handle_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), widen(top.caption).c_str());
    }
}

const std::string* MenuBar::itemName(UINT id) const {
    auto item = items_.find(id);
    return item != items_.end() ? &item->second : nullptr;
}

}  // namespace win32
