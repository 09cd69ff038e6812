// The About, feature-versions and technology-list windows on the real program: frames, layout, texts,
// tooltips, the read-only text, Enter, the About window's icon, and a second menu choice.
#include <gtest/gtest.h>
#include <windows.h>

// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "e2e/design_lookup.h"
#include "e2e/session.h"
#include "info/info_window.h"

using namespace e2e;

namespace {

// Entries of the menu "その他(&T)", separators not counted.
constexpr int kFeatureVersionsEntry = 1, kTechnologyListEntry = 2, kAboutEntry = 4;

struct ControlRow {
    const char* name;
    const wchar_t* text;  // nullptr: not checked here
    RECT place;           // left, top, width, height in pixels at 96 dpi
};

struct WindowCase {
    const char* form;
    const ui::FormDesign& (*design)();
    int menuEntry;
    const wchar_t* title;
    SIZE client[3];  // at 96, 120 and 144 dpi
    bool toolWindow;
    COLORREF background;  // -1: the system's face colour
    POINT blank;          // a point of the client area where no control stands
    std::vector<ControlRow> controls;
};

const std::vector<WindowCase>& windows() {
    static const std::vector<WindowCase> cases = {
        {"Form3",
         info::form3Design,
         kAboutEntry,
         L"バージョン情報",
         {{323, 149}, {404, 186}, {485, 224}},
         false,
         CLR_INVALID,
         {310, 140},
         {
             {"Image1", nullptr, {28, 7, 268, 43}},
             {"Picture1", nullptr, {49, 56, 43, 36}},
             {"Label2", L"Version.1.20", {133, 56, 184, 22}},
             {"Label3", nullptr, {28, 98, 169, 22}},
             {"Command1", L"OK", {217, 84, 71, 40}},
         }},
        {"Form10",
         info::form10Design,
         kFeatureVersionsEntry,
         L"各機能のバージョン",
         {{369, 199}, {461, 249}, {554, 299}},
         true,
         RGB(255, 255, 255),
         {360, 20},
         {
             {"Label1", L"最適化指数", {0, 7, 92, 15}},
             {"Label2", L"180", {98, 7, 36, 22}},
             {"Label3", L"ウィルス定義データ", {0, 28, 141, 22}},
             {"Label4", L"Ver.1.10", {154, 28, 78, 22}},
             {"Label5", L"メモリ内異常スキャン", {0, 49, 155, 22}},
             {"Label6", L"Ver.0.10", {168, 49, 78, 22}},
             {"Label7", L"データ配置チェック", {0, 70, 141, 15}},
             {"Label8", L"Ver.0.01", {147, 70, 78, 22}},
             {"Label9", L"メモリ安定度 チェック", {0, 91, 162, 15}},
             {"Label10", L"Ver.0.01", {168, 91, 78, 22}},
             {"Label11", L"メモリフォーマットチェック", {0, 112, 183, 15}},
             {"Label12", L"Ver.0.12", {196, 112, 78, 22}},
             {"Label13", L"バックアップしながら最適化", {0, 133, 204, 15}},
             {"Label14", L"Ver.1.50", {217, 133, 78, 22}},
             {"Label15", L"実行ﾌｧｲﾙを起動させる毎に簡易ﾁｪｯｸ", {0, 154, 281, 15}},
             {"Label16", L"一時休止", {280, 152, 86, 22}},
             {"Label17", L"設定ファイル", {0, 176, 97, 17}},
             {"Label23", L"Ver.1.00", {104, 176, 81, 17}},
             {"Command1", L"OK", {273, 56, 82, 36}},
         }},
        {"Form2",
         info::form2Design,
         kTechnologyListEntry,
         L"使用Tarnテクノロジ",
         {{329, 84}, {411, 105}, {494, 126}},
         true,
         RGB(0, 128, 128),
         {3, 80},
         {
             {"Text1", nullptr, {7, 7, 267, 71}},
             {"Command1", L"OK", {280, 7, 43, 71}},
         }},
    };
    return cases;
}

const WindowCase& windowCase(const char* form) {
    for (const auto& w : windows()) {
        if (std::string(w.form) == form) {
            return w;
        }
    }
    throw std::logic_error("no such window");
}

POINT onScreen(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

COLORREF screenPixel(POINT p) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

HWND open(Session& s, HWND main, const WindowCase& w) {
    chooseMenu(main, 'T', w.menuEntry);
    HWND window = s.kolbrin->waitForWindow(w.form);
    if (window != nullptr) {
        waitUntil([&] { return GetForegroundWindow() == window; }, 3s);
        Sleep(300);
    }
    return window;
}

void checkWindow(HWND window, const WindowCase& w) {
    EXPECT_EQ(text(window), w.title);
    SIZE client = clientSize(window);
    const SIZE design = atScreenDpi(w.client[0], w.client[1], w.client[2]);
    EXPECT_EQ(client.cx, design.cx);
    EXPECT_EQ(client.cy, design.cy);

    LONG style = GetWindowLongW(window, GWL_STYLE), exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    EXPECT_EQ((exStyle & WS_EX_TOOLWINDOW) != 0, w.toolWindow);
    EXPECT_EQ((exStyle & WS_EX_APPWINDOW) != 0, !w.toolWindow);
    EXPECT_EQ((style & WS_THICKFRAME) != 0, !w.toolWindow);
    EXPECT_EQ((style & WS_MINIMIZEBOX) != 0, !w.toolWindow);
    EXPECT_EQ((style & WS_MAXIMIZEBOX) != 0, !w.toolWindow);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);

    // Opened centred on the screen (to the pixel the integer halving allows).
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    COLORREF background = w.background == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : w.background;
    EXPECT_EQ(screenPixel(onScreen(window, {scaled(w.blank.x), scaled(w.blank.y)})), background);

    for (const auto& c : w.controls) {
        HWND child = control(window, w.design(), c.name);
        ASSERT_NE(child, nullptr) << c.name;
        EXPECT_TRUE(IsWindowVisible(child)) << c.name;
        if (c.text != nullptr) {
            EXPECT_EQ(text(child), c.text) << c.name;
        }
        RECT r = childRect(child);
        EXPECT_EQ(r.left, scaled(c.place.left)) << c.name;
        EXPECT_EQ(r.top, scaled(c.place.top)) << c.name;
        EXPECT_EQ(r.right - r.left, scaled(c.place.right)) << c.name;
        EXPECT_EQ(r.bottom - r.top, scaled(c.place.bottom)) << c.name;
    }
}

// Each window in turn: opened from its menu entry, as laid out, closed by Enter.
void checkAllWindows(const std::string& shotSuffix) {
    Session s(currentTestName());
    s.start();
    HWND main = s.showMainWindow();
    ASSERT_NE(main, nullptr);
    for (const auto& w : windows()) {
        HWND window = open(s, main, w);
        ASSERT_NE(window, nullptr) << w.form;
        SCOPED_TRACE(w.form);
        checkWindow(window, w);
        screenshot(std::string("info-") + w.form + shotSuffix);
        pressKey(VK_RETURN);
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(window); })) << w.form << " stays open after Enter";
        EXPECT_TRUE(IsWindowVisible(main));
    }
}

TEST(InformationWindows, LayoutTextsAndEnterAtEveryDpi) {
    ASSERT_EQ(screenDpi(), passDpi());
    checkAllWindows("-" + std::to_string(passDpi()) + "dpi");
}

TEST(InformationWindows, ASecondChoiceRaisesTheOpenWindowWithoutACopy) {
    Session s(currentTestName());
    s.start();
    HWND main = s.showMainWindow();
    for (const auto& w : windows()) {
        HWND first = open(s, main, w);
        ASSERT_NE(first, nullptr) << w.form;
        SetForegroundWindow(main);
        ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == main; }, 3s)) << w.form;
        HWND second = open(s, main, w);
        // The same window, not one created afresh: the About window did not load again.
        EXPECT_EQ(second, first) << w.form;
        EXPECT_EQ(topWindows(s.kolbrin->pid(), L"Kolbrin." + widen(w.form)).size(), 1u) << w.form;
        EXPECT_EQ(GetForegroundWindow(), first) << w.form;
    }
    // All three stay open beside the main window; closing one leaves the others.
    for (const auto& w : windows()) {
        EXPECT_TRUE(s.kolbrin->visible(w.form)) << w.form;
    }
    EXPECT_TRUE(IsWindowVisible(main));
    screenshot("info-all-open");
    HWND form2 = s.kolbrin->window("Form2");
    click(control(form2, info::form2Design(), "Command1"));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(form2); }));
    EXPECT_TRUE(s.kolbrin->visible("Form3"));
    EXPECT_TRUE(s.kolbrin->visible("Form10"));
    EXPECT_TRUE(IsWindowVisible(main));
    // The close box does what OK does; the window opens again from its menu entry.
    HWND form10 = s.kolbrin->window("Form10");
    PostMessageW(form10, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(form10); }));
    EXPECT_NE(open(s, main, windowCase("Form10")), nullptr);
}

TEST(InformationWindows, HidingTheMainWindowLeavesThemOpen) {
    Session s(currentTestName());
    s.start();
    HWND main = s.showMainWindow();
    HWND about = open(s, main, windowCase("Form3"));
    ASSERT_NE(about, nullptr);
    RECT before;
    GetWindowRect(about, &before);
    chooseMenu(main, 'S', 2);  // 閉じる(&Q)
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }));
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(about));
    RECT after;
    GetWindowRect(about, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST(FeatureVersions, TooltipsOnTheNamesOfTheFirstFiveRowsOnly) {
    const wchar_t* const tips[] = {
        L"メモリ最適化機能の効果を表す指数です。この数字が大きいほど効果があり、効果は数字に比例しています。",
        L"ウィルススキャンでのウィルスのパターンデータです。",
        L"メモリ内の異常部分をチェックする機能のバージョンです。",
        L"メモリ内のデータの配置の異常をチェックする機能のバージョンです。",
        L"メモリの安定をチェックする機能のバージョンです。",
    };
    Session s(currentTestName());
    s.start();
    HWND main = s.showMainWindow();
    const WindowCase& w = windowCase("Form10");
    HWND window = open(s, main, w);
    ASSERT_NE(window, nullptr);
    const POINT away = onScreen(window, {scaled(w.blank.x), scaled(w.blank.y)});
    for (std::size_t i = 0; i < w.controls.size(); ++i) {
        const ControlRow& c = w.controls[i];
        if (std::string(c.name) == "Command1") {
            continue;
        }
        // Names and values alternate; the names of rows 1 to 5 are the first five even places.
        const wchar_t* expected = i % 2 == 0 && i / 2 < 5 ? tips[i / 2] : nullptr;
        moveTo(away);
        waitUntil([&] { return visibleTooltip(s.kolbrin->pid()) == nullptr; }, 3s);
        RECT r;
        GetWindowRect(control(window, w.design(), c.name), &r);
        moveTo(POINT{r.left + 2, r.top + 2});
        moveTo(POINT{r.left + 6, (r.top + r.bottom) / 2});
        if (expected != nullptr) {
            HWND tip = nullptr;
            EXPECT_TRUE(waitUntil(
                [&] {
                    tip = visibleTooltip(s.kolbrin->pid());
                    return tip != nullptr && text(tip) == expected;
                },
                5s))
                << c.name << " shows " << narrow(tip ? text(tip) : L"no tooltip");
            if (i == 0) {
                screenshot("info-Form10-tooltip");
            }
        } else {
            Sleep(1500);
            HWND tip = visibleTooltip(s.kolbrin->pid());
            EXPECT_EQ(tip, nullptr) << c.name << " shows " << narrow(tip ? text(tip) : L"");
        }
    }
}

TEST(TechnologyList, TextCanBeSelectedButNotChanged) {
    Session s(currentTestName());
    s.start();
    HWND main = s.showMainWindow();
    const WindowCase& w = windowCase("Form2");
    HWND window = open(s, main, w);
    ASSERT_NE(window, nullptr);
    HWND edit = control(window, w.design(), "Text1");
    const std::wstring original = widen(info::form2Design().controls.front().caption);
    ASSERT_EQ(text(edit), original);
    LONG style = GetWindowLongW(edit, GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_FALSE(style & (WS_VSCROLL | WS_HSCROLL));

    RECT r;
    GetWindowRect(edit, &r);
    clickAt(POINT{r.left + scaled(12), r.top + scaled(12)});
    typeText(L"x");
    pressKey(VK_BACK);
    pressKey(VK_DELETE);
    pressKey(VK_SPACE);
    EXPECT_EQ(text(edit), original);

    // Shift+End selects to the end of the line.
    INPUT keys[4] = {};
    for (auto& k : keys) {
        k.type = INPUT_KEYBOARD;
    }
    keys[0].ki.wVk = VK_SHIFT;
    keys[1].ki.wVk = VK_END;
    keys[2].ki.wVk = VK_END;
    keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
    keys[3].ki.wVk = VK_SHIFT;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
    Sleep(300);
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_LT(start, end);
    screenshot("info-Form2-selected");
    EXPECT_EQ(text(edit), original);

    // Tab leaves the text box for OK, and comes back to it.
    pressKey(VK_TAB);
    HWND ok = control(window, w.design(), "Command1");
    EXPECT_TRUE(waitUntil([&] { return focusIn(window) == ok; })) << "Tab is kept in the text box";
    pressKey(VK_TAB);
    EXPECT_TRUE(waitUntil([&] { return focusIn(window) == edit; }));

    // Enter in the text box still presses OK.
    pressKey(VK_RETURN);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(window); }));
}

// An icon as drawn at a size: its colours where it is opaque. Drawn once on black and once on white, a
// pixel that comes out the same both times belongs to the icon; the others let the background through.
struct IconImage {
    Pixels colour;
    std::vector<bool> opaque;
};

IconImage render(HICON icon, int size) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(mem, bitmap);
    RECT all{0, 0, size, size};
    Pixels on[2];
    for (int i = 0; i < 2; ++i) {
        FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(i == 0 ? BLACK_BRUSH : WHITE_BRUSH)));
        DrawIconEx(mem, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        on[i] = capture(mem, all);
    }
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    IconImage image{on[0], {}};
    for (std::size_t i = 0; i < on[0].at.size(); ++i) {
        image.opaque.push_back(on[0].at[i] == on[1].at[i]);
    }
    return image;
}

bool showsIconAt(const Pixels& screen, const IconImage& icon, int left, int top) {
    const int size = icon.colour.width;
    if (left + size > screen.width || top + size > screen.height) {
        return false;
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (icon.opaque[static_cast<std::size_t>(y * size + x)] &&
                icon.colour(x, y) != screen(left + x, top + y)) {
                return false;
            }
        }
    }
    return true;
}

// Whether the icon appears anywhere in the top-left corner of a window's frame: its title-bar icon.
bool titleBarShows(HWND window, const IconImage& icon) {
    RECT frame;
    GetWindowRect(window, &frame);
    const int reach = scaled(48);
    HDC screen = GetDC(nullptr);
    Pixels corner = capture(screen, RECT{frame.left, frame.top, frame.left + reach, frame.top + reach});
    ReleaseDC(nullptr, screen);
    for (int top = 0; top < reach; ++top) {
        for (int left = 0; left < reach; ++left) {
            if (showsIconAt(corner, icon, left, top)) {
                return true;
            }
        }
    }
    return false;
}

// The About window shows the program's icon, which the main window shows too, in its title bar and in
// Picture1. Icon handles cannot be compared from outside the program, so the pixels are.
TEST(AboutWindow, ShowsTheMainWindowsIcon) {
    Session s(currentTestName());
    s.start();
    HMODULE exe = LoadLibraryExW(s.folder.file("Kolbrin.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe, nullptr);
    auto load = [&](int size) {
        return static_cast<HICON>(LoadImageW(exe, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
    };
    HICON big = load(GetSystemMetrics(SM_CXICON)), small = load(GetSystemMetrics(SM_CXSMICON));
    ASSERT_NE(big, nullptr);
    ASSERT_NE(small, nullptr);
    const IconImage titleIcon = render(small, GetSystemMetrics(SM_CXSMICON));
    const IconImage pictureIcon = render(big, scaled(32));

    HWND main = s.showMainWindow();
    EXPECT_TRUE(titleBarShows(main, titleIcon)) << "the main window's own title bar";
    const WindowCase& w = windowCase("Form3");
    HWND about = open(s, main, w);
    ASSERT_NE(about, nullptr);
    moveTo(POINT{0, 0});  // the pointer is not part of a screen capture, but keep it off the window anyway
    EXPECT_TRUE(titleBarShows(about, titleIcon));

    HDC screen = GetDC(nullptr);
    POINT origin = onScreen(control(about, w.design(), "Picture1"), {0, 0});
    Pixels picture = capture(screen, RECT{origin.x, origin.y, origin.x + scaled(32), origin.y + scaled(32)});
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(showsIconAt(picture, pictureIcon, 0, 0));

    DestroyIcon(big);
    DestroyIcon(small);
    FreeLibrary(exe);
}

}  // namespace
