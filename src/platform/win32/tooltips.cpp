#include "platform/win32/tooltips.h"

#include <commctrl.h>

#include "platform/win32/dpi.h"
#include "platform/win32/refusal.h"
#include "platform/win32/text.h"

namespace win32 {

Tooltips::Tooltips(HWND window, HINSTANCE instance)
    : window_(window),
      tooltip_(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr)) {
    if (tooltip_ == nullptr) {
        throw SystemRefused("ツールチップを作成できませんでした。");
    }
}

void Tooltips::add(HWND control, const std::string& text) {
    if (text.empty()) {
        return;
    }
    std::wstring tip = widen(text);
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V1_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = window_;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = tip.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Tooltips::layout(const ui::Scale& scale) {
    LOGFONTW lf = tooltipFontAt(scale.dpi());
    UniqueFont font(CreateFontIndirectW(&lf));
    SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    font_ = std::move(font);  // the one the tooltips used until now is released
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, scale.pixels(400));
}

}  // namespace win32
