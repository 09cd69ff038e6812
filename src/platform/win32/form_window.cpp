#include "platform/win32/form_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <numeric>

#include "platform/win32/backend.h"
#include "platform/win32/text.h"

namespace win32 {

namespace {

constexpr wchar_t kChildClass[] = L"Kolbrin.Child";  // frames and picture boxes, painted here
constexpr int kFirstControlId = 100;
constexpr int kFirstMenuId = 1000;
constexpr UINT kBringBoxForward = WM_APP + 1;

std::wstring formClassName(const std::string& formName) {
    return L"Kolbrin." + widen(formName);
}

struct Styles {
    DWORD style;
    DWORD exStyle;
};

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
    if (!d.showInTaskbar) {
        s.exStyle |= WS_EX_TOOLWINDOW;
    } else {
        s.exStyle |= WS_EX_APPWINDOW;
    }
    return s;
}

bool isFocusable(ui::ControlKind kind) {
    switch (kind) {
        case ui::ControlKind::Button:
        case ui::ControlKind::OptionButton:
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::TextBox:
            return true;
        default:
            return false;
    }
}

// A read-only multi-line text box must not swallow Enter, so that the window's default button gets it.
LRESULT CALLBACK readOnlyEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == WM_GETDLGCODE) {
        LRESULT code = DefSubclassProc(hwnd, msg, wp, lp);
        auto* key = reinterpret_cast<MSG*>(lp);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
            code &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
        }
        return code;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void FormWindow::registerClasses(HINSTANCE instance) {
    WNDCLASSEXW child{sizeof child};
    child.lpfnWndProc = childProc;
    child.hInstance = instance;
    child.hCursor = LoadCursor(nullptr, IDC_ARROW);
    child.lpszClassName = kChildClass;
    RegisterClassExW(&child);
}

FormWindow::FormWindow(Backend& backend, ui::Form& form)
    : backend_(backend), form_(form), dpi_(backend.dpi()) {
    const ui::FormDesign& d = form.design();
    const std::wstring className = formClassName(d.name);
    WNDCLASSEXW wc{sizeof wc};
    if (!GetClassInfoExW(backend.instance(), className.c_str(), &wc)) {
        wc = WNDCLASSEXW{sizeof wc};
        wc.lpfnWndProc = formProc;
        wc.hInstance = backend.instance();
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = className.c_str();
        RegisterClassExW(&wc);
    }

    if (!d.menus.empty()) {
        menu_ = CreateMenu();
        UINT id = kFirstMenuId;
        for (const auto& top : d.menus) {
            HMENU popup = CreatePopupMenu();
            for (const auto& item : top.items) {
                if (item.separator) {
                    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
                } else {
                    menuItems_[id] = item.name;
                    AppendMenuW(popup, MF_STRING, id++, widen(item.caption).c_str());
                }
            }
            AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), widen(top.caption).c_str());
        }
    }

    Styles s = windowStyles(d);
    RECT r{0, 0, scale(d.clientWidth), scale(d.clientHeight)};
    AdjustWindowRectEx(&r, s.style, menu_ != nullptr, s.exStyle);
    int width = r.right - r.left, height = r.bottom - r.top;
    hwnd_ = CreateWindowExW(s.exStyle, className.c_str(), widen(d.caption).c_str(), s.style, 0, 0, width,
                            height, nullptr, menu_, backend.instance(), this);
    // The menu bar may wrap into more lines than the frame calculation assumed: correct to the exact client.
    RECT client;
    GetClientRect(hwnd_, &client);
    height += scale(d.clientHeight) - (client.bottom - client.top);
    width += scale(d.clientWidth) - (client.right - client.left);
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, backend.instance(), nullptr);
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, scale(d.unit == ui::Unit::Twips ? 6000 : 400));
    iconChanged();
    createControls();
    backend.windowCreated(*this);
    if (backend.messageBoxOpen()) {
        EnableWindow(hwnd_, FALSE);
    }
}

FormWindow::~FormWindow() {
    destroy();
}

void FormWindow::destroy() {
    if (hwnd_ != nullptr) {
        HWND h = hwnd_;
        for (const auto& t : form_.timers()) {
            KillTimer(h, reinterpret_cast<UINT_PTR>(&t));
        }
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        backend_.windowDestroyed(*this);
        hwnd_ = nullptr;
        DestroyWindow(h);  // its menu, tooltip window and children go with it
    }
}

int FormWindow::scale(int designUnits) const {
    int perInch = form_.design().unit == ui::Unit::Twips ? 1440 : 96;
    return MulDiv(designUnits, dpi_, perInch);
}

RECT FormWindow::placeOf(const ui::ControlDesign& design) const {
    int left = scale(design.rect.left), top = scale(design.rect.top);
    if (!design.container.empty()) {
        for (const auto& c : form_.design().controls) {
            if (c.name == design.container) {
                left += scale(c.rect.left);
                top += scale(c.rect.top);
            }
        }
    }
    return RECT{left, top, left + scale(design.rect.width), top + scale(design.rect.height)};
}

HFONT FormWindow::fontFor(const ui::Font& font) {
    for (const auto& [f, h] : fontIndex_) {
        if (f == font) {
            return h;
        }
    }
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(font.points * dpi_ / 72.0));
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    std::wstring face = widen(font.face);
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    fonts_.emplace_back(CreateFontIndirectW(&lf));
    fontIndex_.emplace_back(font, fonts_.back().get());
    return fonts_.back().get();
}

COLORREF FormWindow::colourOf(const ui::Colour& colour, int defaultIndex) const {
    switch (colour.kind) {
        case ui::Colour::Kind::Rgb:
            return RGB(colour.rgb.r, colour.rgb.g, colour.rgb.b);
        case ui::Colour::Kind::System:
            return GetSysColor(colour.systemIndex);
        case ui::Colour::Kind::Default:
            break;
    }
    return GetSysColor(defaultIndex);
}

HBRUSH FormWindow::brushFor(const ui::Colour& colour) {
    COLORREF c = colourOf(colour, COLOR_BTNFACE);
    for (const auto& [key, brush] : brushes_) {
        if (key == c) {
            return brush.get();
        }
    }
    brushes_.emplace_back(c, UniqueBrush(CreateSolidBrush(c)));
    return brushes_.back().second.get();
}

void FormWindow::createControls() {
    const auto& controls = form_.controls();
    children_.assign(controls.size(), nullptr);
    // Created in tab order, so that Tab moves through them as the design says.
    std::vector<int> order(controls.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return controls[a].design->tabIndex < controls[b].design->tabIndex;
    });
    for (int i : order) {
        children_[i] = createControl(controls[i], kFirstControlId + i);
    }
    tabOrder_ = std::move(order);
    // Frames paint their whole area: keep them under the controls they hold.
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].kind() == ui::ControlKind::Frame) {
            SetWindowPos(children_[i], HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

HWND FormWindow::createControl(const ui::Control& control, int id) {
    const ui::ControlDesign& d = *control.design;
    const wchar_t* cls = L"STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    switch (d.kind) {
        case ui::ControlKind::Label:
            style |= SS_NOTIFY | (d.align == ui::Align::Centre ? SS_CENTER : SS_LEFT);
            break;
        case ui::ControlKind::Button:
            cls = L"BUTTON";
            style |= WS_TABSTOP;
            if (d.style == ui::ButtonStyle::Graphical) {
                style |= BS_OWNERDRAW;
            } else {
                style |= d.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
            }
            break;
        case ui::ControlKind::OptionButton:
            cls = L"BUTTON";
            style |= WS_TABSTOP | BS_RADIOBUTTON;
            break;
        case ui::ControlKind::CheckBox:
            cls = L"BUTTON";
            style |= WS_TABSTOP | BS_CHECKBOX;
            break;
        case ui::ControlKind::Frame:
        case ui::ControlKind::PictureBox:
            cls = kChildClass;
            break;
        case ui::ControlKind::TextBox:
            cls = L"EDIT";
            style |= WS_TABSTOP | ES_LEFT | (d.multiLine ? ES_MULTILINE : ES_AUTOHSCROLL) |
                     (d.readOnly ? ES_READONLY : 0);
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ui::ControlKind::Image:
            style |= SS_ENHMETAFILE | SS_NOTIFY;
            break;
    }
    RECT r = placeOf(d);
    std::wstring text = d.kind == ui::ControlKind::Image ? L"" : widen(control.caption);
    HWND h = CreateWindowExW(exStyle, cls, text.c_str(), style, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             backend_.instance(), nullptr);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(d.font)), FALSE);
    if (d.kind == ui::ControlKind::TextBox && d.readOnly && d.multiLine) {
        SetWindowSubclass(h, readOnlyEditProc, 1, 0);
    }
    if (d.kind == ui::ControlKind::Image && control.picture == ui::Picture::Banner) {
        SendMessageW(h, STM_SETIMAGE, IMAGE_ENHMETAFILE, reinterpret_cast<LPARAM>(backend_.banner()));
    }
    if (!d.tooltip.empty()) {
        std::wstring tip = widen(d.tooltip);
        TOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V1_SIZE;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = hwnd_;
        ti.uId = reinterpret_cast<UINT_PTR>(h);
        ti.lpszText = tip.data();
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    if (d.kind == ui::ControlKind::OptionButton || d.kind == ui::ControlKind::CheckBox) {
        SendMessageW(h, BM_SETCHECK, control.value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    EnableWindow(h, control.enabled);
    if (control.visible) {
        ShowWindow(h, SW_SHOWNA);
    }
    return h;
}

int FormWindow::controlAt(HWND child) const {
    auto it = std::find(children_.begin(), children_.end(), child);
    return it == children_.end() ? -1 : static_cast<int>(it - children_.begin());
}

ui::Control& FormWindow::liveControl(int index) {
    // The form's control list is the one this window was built from for as long as the window lives.
    return form_.controlAt(static_cast<std::size_t>(index));
}

bool FormWindow::canTakeFocus(int index) const {
    const ui::Control& c = form_.controls()[index];
    return isFocusable(c.kind()) && c.visible && c.enabled;
}

int FormWindow::nextInTabOrder(int after) const {
    auto at = std::find(tabOrder_.begin(), tabOrder_.end(), after);
    std::size_t start = at == tabOrder_.end() ? 0 : static_cast<std::size_t>(at - tabOrder_.begin()) + 1;
    for (std::size_t k = 0; k < tabOrder_.size(); ++k) {
        int i = tabOrder_[(start + k) % tabOrder_.size()];
        if (canTakeFocus(i)) {
            return i;
        }
    }
    return -1;
}

int FormWindow::focusedControl() const {
    return GetActiveWindow() == hwnd_ ? controlAt(GetFocus()) : focus_;
}

void FormWindow::rememberFocus() {
    HWND focus = GetFocus();
    if (focus == hwnd_) {
        focus_ = -1;
    } else if (int i = controlAt(focus); i >= 0) {
        focus_ = i;
    }
}

void FormWindow::giveFocusTo(int index) {
    focus_ = index;
    if (GetActiveWindow() == hwnd_) {
        SetFocus(index >= 0 ? children_[index] : hwnd_);
    }
}

void FormWindow::restoreFocus() {
    // A window that has never had the focus starts at its first control in the tab order.
    int target = focus_ >= 0 && canTakeFocus(focus_) ? focus_ : nextInTabOrder(focusLeft_);
    if (target >= 0 && GetActiveWindow() == hwnd_ && !IsIconic(hwnd_)) {
        focus_ = target;
        SetFocus(children_[target]);
    }
}

void FormWindow::focusChanged(int index, bool couldTakeFocus, bool hadFocus) {
    bool canNow = canTakeFocus(index);
    if (canNow == couldTakeFocus) {
        return;
    }
    if (!canNow && hadFocus) {
        // A hidden or disabled control would keep the keys to itself: Enter and Space would reach
        // nothing. The focus goes on in the tab order.
        focusLeft_ = index;
        giveFocusTo(nextInTabOrder(index));
    } else if (canNow && focusedControl() < 0) {
        // No control could hold the focus until now; the search goes on from where it was left.
        giveFocusTo(nextInTabOrder(focusLeft_));
    }
}

void FormWindow::setVisible(bool visible) {
    if (!visible) {
        rememberFocus();
        ShowWindow(hwnd_, SW_HIDE);
    } else if (backend_.messageBoxOpen()) {
        // The box stays in front of a window shown while it is up (the window is out of reach anyway).
        ShowWindow(hwnd_, SW_SHOWNA);
        backend_.bringMessageBoxForward();
    } else {
        ShowWindow(hwnd_, SW_SHOW);
    }
}

void FormWindow::activate() {
    if (backend_.messageBoxOpen()) {
        backend_.bringMessageBoxForward();
        return;
    }
    if (IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    }
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd_);
}

void FormWindow::restore() {
    if (IsIconic(hwnd_) || IsZoomed(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    }
}

void FormWindow::controlChanged(const ui::Control& control) {
    int i = static_cast<int>(&control - form_.controls().data());
    if (i < 0 || i >= static_cast<int>(children_.size())) {
        return;
    }
    HWND h = children_[i];
    const bool hadFocus = focusedControl() == i;
    const bool couldTakeFocus =
        isFocusable(control.kind()) && IsWindowEnabled(h) && (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0;
    if (control.kind() != ui::ControlKind::Image) {
        std::wstring text = widen(control.caption);
        wchar_t current[512] = {};
        GetWindowTextW(h, current, 512);
        if (text != current) {
            SetWindowTextW(h, text.c_str());
            InvalidateRect(h, nullptr, TRUE);
        }
    }
    if (control.kind() == ui::ControlKind::OptionButton || control.kind() == ui::ControlKind::CheckBox) {
        SendMessageW(h, BM_SETCHECK, control.value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    if (control.kind() == ui::ControlKind::PictureBox) {
        InvalidateRect(h, nullptr, TRUE);
    }
    if ((IsWindowEnabled(h) != 0) != control.enabled) {
        EnableWindow(h, control.enabled);
    }
    if (((GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0) != control.visible) {
        ShowWindow(h, control.visible ? SW_SHOWNA : SW_HIDE);
    }
    focusChanged(i, couldTakeFocus, hadFocus);
}

void FormWindow::timerChanged(const ui::Timer& timer) {
    auto id = reinterpret_cast<UINT_PTR>(&timer);
    if (timer.running()) {
        SetTimer(hwnd_, id, static_cast<UINT>(timer.intervalMs), nullptr);
    } else {
        KillTimer(hwnd_, id);
    }
}

void FormWindow::iconChanged() {
    bool has = form_.icon() == ui::Picture::MainIcon;
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(has ? backend_.icon(false) : nullptr));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(has ? backend_.icon(true) : nullptr));
}

std::uintptr_t FormWindow::nativeHandle(const ui::Control& control) const {
    int i = static_cast<int>(&control - form_.controls().data());
    return reinterpret_cast<std::uintptr_t>(children_.at(i));
}

LRESULT CALLBACK FormWindow::formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        auto* self = static_cast<FormWindow*>(cs->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr || self->hwnd_ != hwnd) {
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    // Nothing may unwind through the system's frames: a fault in a handler ends the program here.
    try {
        return self->handle(msg, wp, lp);
    } catch (...) {
        std::terminate();
    }
}

LRESULT CALLBACK FormWindow::childProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        return childMessage(hwnd, msg, wp, lp);
    } catch (...) {
        std::terminate();
    }
}

LRESULT FormWindow::childMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    int i = self ? self->controlAt(hwnd) : -1;
    if (i < 0) {
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    switch (msg) {
        case WM_PAINT: {
            const ui::Control& c = self->form_.controls()[i];
            if (c.kind() == ui::ControlKind::Frame) {
                self->paintFrame(hwnd, c);
            } else {
                self->paintPicture(hwnd, c);
            }
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEMOVE: {
            // The shell's notifications for the tray icon arrive here as mouse moves whose X is the
            // mouse message it saw over the icon.
            ui::Form& form = self->form_;
            int shift = (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                        (GetKeyState(VK_MENU) < 0 ? 4 : 0);
            int button = (wp & MK_LBUTTON ? 1 : 0) | (wp & MK_RBUTTON ? 2 : 0) | (wp & MK_MBUTTON ? 4 : 0);
            form.userMouseMove(self->liveControl(i), button, shift, static_cast<float>(GET_X_LPARAM(lp)),
                               static_cast<float>(GET_Y_LPARAM(lp)));
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void FormWindow::paintFrame(HWND frame, const ui::Control& control) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(frame, &ps);
    RECT r;
    GetClientRect(frame, &r);
    FillRect(dc, &r, brushFor(control.design->back));
    HFONT font = fontFor(control.design->font);
    ScopedSelect selectFont(dc, font);
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    RECT edge = r;
    edge.top += tm.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    std::wstring caption = widen(control.caption);
    if (!caption.empty()) {
        ScopedTextColours colours(dc, colourOf(control.design->fore, COLOR_WINDOWTEXT), OPAQUE);
        SetBkColor(dc, colourOf(control.design->back, COLOR_BTNFACE));
        RECT text{r.left + scale(form_.design().unit == ui::Unit::Twips ? 120 : 8), r.top, r.right,
                  r.top + tm.tmHeight};
        DrawTextW(dc, caption.c_str(), -1, &text, DT_LEFT | DT_TOP | DT_SINGLELINE);
    }
    EndPaint(frame, &ps);
}

void FormWindow::paintPicture(HWND picture, const ui::Control& control) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(picture, &ps);
    RECT r;
    GetClientRect(picture, &r);
    FillRect(dc, &r,
             brushFor(control.design->back.kind == ui::Colour::Kind::Default ? form_.design().back
                                                                             : control.design->back));
    if (control.picture == ui::Picture::MainIcon) {
        int size = MulDiv(32, dpi_, 96);
        DrawIconEx(dc, 0, 0, backend_.icon(false), size, size, 0, nullptr, DI_NORMAL);
    }
    EndPaint(picture, &ps);
}

LRESULT FormWindow::onCommand(WPARAM wp, LPARAM lp) {
    UINT id = LOWORD(wp);
    if (lp == 0) {
        auto item = menuItems_.find(id);
        if (item != menuItems_.end() && HIWORD(wp) == 0) {
            std::string name = item->second;  // the handler may unload this window
            form_.userMenu(name);
        }
        return 0;
    }
    int i = static_cast<int>(id) - kFirstControlId;
    if (i < 0 || i >= static_cast<int>(children_.size()) || HIWORD(wp) != BN_CLICKED) {
        return 0;
    }
    ui::Control& c = liveControl(i);
    if (c.kind() == ui::ControlKind::Button || c.kind() == ui::ControlKind::OptionButton ||
        c.kind() == ui::ControlKind::CheckBox) {
        form_.userClicked(c);
    }
    return 0;
}

LRESULT FormWindow::onControlColour(HDC dc, HWND child, UINT msg, WPARAM wp, LPARAM lp) {
    int i = controlAt(child);
    if (i < 0) {
        return DefWindowProcW(hwnd_, msg, wp, lp);
    }
    const ui::ControlDesign& d = *form_.controls()[i].design;
    // A control without its own back colour shows the window's, as on the form editor.
    const ui::Colour& back = d.back.kind != ui::Colour::Kind::Default ? d.back
                             : d.kind == ui::ControlKind::TextBox     ? ui::systemColour(COLOR_WINDOW)
                                                                      : form_.design().back;
    SetTextColor(dc, colourOf(d.fore, COLOR_WINDOWTEXT));
    SetBkColor(dc, colourOf(back, COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(brushFor(back));
}

void FormWindow::onDrawItem(const DRAWITEMSTRUCT& item) {
    int i = controlAt(item.hwndItem);
    if (i < 0) {
        return;
    }
    const ui::Control& c = form_.controls()[i];
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    bool pressed = item.itemState & ODS_SELECTED;
    bool disabled = item.itemState & ODS_DISABLED;
    FillRect(dc, &r, brushFor(c.design->back));
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    RECT text = r;
    if (pressed) {
        OffsetRect(&text, 1, 1);
    }
    ScopedSelect font(dc, fontFor(c.design->font));
    std::wstring caption = widen(c.caption);
    if (disabled) {
        // The engraved look of a disabled caption: a light copy one pixel down and right, grey on top.
        RECT shadow = text;
        OffsetRect(&shadow, 1, 1);
        ScopedTextColours light(dc, GetSysColor(COLOR_3DHILIGHT), TRANSPARENT);
        DrawTextW(dc, caption.c_str(), -1, &shadow, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else {
        ScopedTextColours colours(dc, colourOf(c.design->fore, COLOR_BTNTEXT), TRANSPARENT);
        DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
}

LRESULT FormWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == backend_.taskbarCreatedMessage()) {
        form_.shellRestarted();
        return 0;
    }
    switch (msg) {
        case WM_COMMAND:
            return onCommand(wp, lp);
        case WM_TIMER:
            for (std::size_t i = 0; i < form_.timers().size(); ++i) {
                if (reinterpret_cast<UINT_PTR>(&form_.timers()[i]) == wp) {
                    form_.userTimer(form_.timerAt(i));
                    break;
                }
            }
            return 0;
        case WM_CLOSE:
            form_.userClose();
            return 0;
        case WM_ENDSESSION:
            if (wp) {
                form_.userClose();
            }
            return 0;
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd_, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, brushFor(form_.design().back));
            return 1;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            return onControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), msg, wp, lp);
        case WM_DRAWITEM:
            onDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lp));
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                rememberFocus();
            } else if (!IsWindowEnabled(hwnd_)) {
                // Only a message box disables the program's windows: activated from outside (the
                // taskbar, Alt+Tab), the window hands the activation on to the box once this is over.
                PostMessageW(hwnd_, kBringBoxForward, 0, 0);
            } else {
                restoreFocus();
                if (focusedControl() >= 0) {
                    return 0;
                }
            }
            break;
        case kBringBoxForward:
            backend_.bringMessageBoxForward();
            return 0;
        case WM_SETCURSOR: {
            const UINT mouse = HIWORD(lp);
            if (!IsWindowEnabled(hwnd_) &&
                (mouse == WM_LBUTTONDOWN || mouse == WM_RBUTTONDOWN || mouse == WM_MBUTTONDOWN)) {
                // A press on a window that a message box keeps out of reach brings the box forward.
                backend_.bringMessageBoxForward();
            }
            int i = controlAt(reinterpret_cast<HWND>(wp));
            if (i >= 0 && form_.controls()[i].design->handCursor && LOWORD(lp) == HTCLIENT) {
                SetCursor(backend_.handCursor());
                return TRUE;
            }
            break;
        }
        case DM_GETDEFID: {
            // As in a dialog, Enter presses the button that has the focus, else the default button.
            if (int f = controlAt(GetFocus());
                f >= 0 && form_.controls()[f].kind() == ui::ControlKind::Button) {
                return MAKELRESULT(kFirstControlId + f, DC_HASDEFID);
            }
            const auto& controls = form_.controls();
            for (std::size_t i = 0; i < controls.size(); ++i) {
                if (controls[i].design->isDefault) {
                    return MAKELRESULT(kFirstControlId + i, DC_HASDEFID);
                }
            }
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace win32
