// A window's menu bar, built from its design. Each item gets a command number; a chosen item is known by
// its design name.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "platform/win32/handles.h"
#include "ui/design.h"

namespace win32 {

class MenuBar {
  public:
    explicit MenuBar(const ui::FormDesign& design);

    // The bar for CreateWindowEx; null for a window without menus.
    HMENU handle() const { return handle_; }
    // The window the bar was given to destroys it with itself from now on.
    void givenToWindow() { owned_.release(); }
    // The design name of the item with this command number, or null.
    const std::string* itemName(UINT id) const;

  private:
    UniqueMenu owned_;
    HMENU handle_ = nullptr;
    std::map<UINT, std::string> items_;
};

}  // namespace win32
