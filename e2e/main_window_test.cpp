// The main window and the settings dialog on the real program: layout, texts and commands.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "app/form1.h"
#include "cp932_bytes.h"
#include "e2e/design_lookup.h"
#include "e2e/session.h"
#include "settings/form6.h"

using namespace e2e;

namespace {

// Left, top, width and height in pixels, written from the design's twips for 96, 120 and 144 dpi.
struct Place {
    int left, top, width, height;
};

void expectPlacedAt(HWND control, const Place (&at)[3], const std::string& what) {
    const Place& p = at[dpiColumn()];
    RECT r = childRect(control);
    EXPECT_EQ(r.left, p.left) << what;
    EXPECT_EQ(r.top, p.top) << what;
    EXPECT_EQ(r.right - r.left, p.width) << what;
    EXPECT_EQ(r.bottom - r.top, p.height) << what;
}

struct ButtonRow {
    const char* name;
    const wchar_t* caption;
    const wchar_t* tooltip;
    Place at[3];
};

// clang-format off
const ButtonRow kButtons[] = {
    {"Command1", L"最適化開始", L"メモリの最適化を行います", {{14, 8, 169, 22}, {18, 10, 211, 28}, {21, 12, 254, 33}}},
    {"Command2", L"メモリスキャン β", L"メモリのスキャンをします", {{14, 35, 169, 22}, {18, 44, 211, 28}, {21, 53, 254, 33}}},
    {"Command3", L"設定", L"各種設定を行います", {{14, 63, 169, 22}, {18, 79, 211, 28}, {21, 95, 254, 33}}},
    {"Command4", L"閉じる", L"ウィンドウを隠します", {{14, 91, 106, 22}, {18, 114, 133, 28}, {21, 137, 159, 33}}},
    {"Command5", L"終了する", L"プログラムを終了します", {{126, 91, 57, 22}, {158, 114, 71, 28}, {189, 137, 86, 33}}},
};
// clang-format on

// The columns near a drawn button's left edge where, in the middle third of its height, about every other
// pixel differs from the face: where its dotted focus rectangle runs. None when it shows no focus cue.
std::vector<int> focusColumns(HWND button) {
    RECT r;
    GetWindowRect(button, &r);
    const Pixels p = screenPixels(r);
    const COLORREF face = p(2, p.height / 2);  // just inside the raised edge
    std::vector<int> columns;
    for (int x = 2; x < p.width / 4; ++x) {
        int differing = 0;
        for (int y = p.height / 3; y < p.height * 2 / 3; ++y) {
            differing += p(x, y) != face ? 1 : 0;
        }
        if (differing * 3 >= p.height / 3) {
            columns.push_back(x);
        }
    }
    return columns;
}

// The columns the program's focus rectangle takes: its inset and width scale with the window.
std::vector<int> scaledFocusColumns() {
    std::vector<int> columns;
    for (int x = scaled(4); x < scaled(4) + scaled(1); ++x) {
        columns.push_back(x);
    }
    return columns;
}

void checkLayout(Session& s) {
    HWND main = s.showMainWindow();
    ASSERT_NE(main, nullptr);
    SIZE client = clientSize(main);
    SIZE design = atScreenDpi({196, 121}, {245, 151}, {294, 182});  // 2940 x 1815 twips
    EXPECT_EQ(client.cx, design.cx);
    EXPECT_EQ(client.cy, design.cy);
    LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    for (const auto& b : kButtons) {
        HWND button = control(main, app::form1Design(), b.name);
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(text(button), b.caption) << b.name;
        expectPlacedAt(button, b.at, b.name);
    }
}

TEST(MainWindow, LayoutAndCaptionsAtEveryDpi) {
    Session s(currentTestName());
    s.start();
    ASSERT_EQ(screenDpi(), passDpi());
    checkLayout(s);
    screenshot("main-window-" + std::to_string(passDpi()) + "dpi");

    // Shown from the tray icon with the mouse: the focus is there, its cue is not. Tab shows it.
    HWND main = s.kolbrin->window("Form1");
    HWND first = control(main, app::form1Design(), "Command1");
    ASSERT_EQ(focusIn(main), first);
    EXPECT_EQ(focusColumns(first), std::vector<int>{});
    pressKey(VK_TAB);
    HWND next = control(main, app::form1Design(), "Command3");
    ASSERT_TRUE(waitUntil([&] { return focusIn(main) == next; }));
    EXPECT_TRUE(waitUntil([&] { return focusColumns(next) == scaledFocusColumns(); }, 3s));
    screenshot("main-window-focus-cue-" + std::to_string(passDpi()) + "dpi");
}

// With the user's setting to show focus cues at all times (read by programs started after it is made).
TEST(MainWindow, AUserWhoAskedForFocusCuesSeesThemFromTheStart) {
    SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(TRUE), SPIF_UPDATEINIFILE);
    Session s(currentTestName());
    s.start();
    HWND first = control(s.showMainWindow(), app::form1Design(), "Command1");
    EXPECT_TRUE(waitUntil([&] { return focusColumns(first) == scaledFocusColumns(); }, 3s));
    SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, nullptr, SPIF_UPDATEINIFILE);
}

TEST(MainWindow, EachButtonShowsItsTooltipAndTheHandCursor) {
    Session s(currentTestName());
    s.start();
    HWND main = s.showMainWindow();
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    for (const auto& b : kButtons) {
        HWND button = control(main, app::form1Design(), b.name);
        RECT r;
        GetWindowRect(button, &r);
        moveTo(POINT{r.left + 3, r.top + 3});
        moveTo(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        HWND tip = nullptr;
        ASSERT_TRUE(waitUntil(
            [&] {
                tip = visibleTooltip(s.kolbrin->pid());
                return tip != nullptr && text(tip) == b.tooltip;
            },
            5s))
            << b.name << " shows " << narrow(tip ? text(tip) : L"no tooltip");
        CURSORINFO ci{sizeof ci};
        GetCursorInfo(&ci);
        EXPECT_NE(ci.hCursor, arrow) << b.name;
        if (std::string(b.name) == "Command1") {
            screenshot("main-window-tooltip");
        }
    }
}

TEST(MainWindow, CloseHidesAndTheTrayIconBringsItBackWithTheFocusWhereItWas) {
    Session s(currentTestName());
    s.start();
    HWND main = s.showMainWindow();
    // First shown: the first control in the tab order has the focus.
    EXPECT_EQ(focusIn(main), control(main, app::form1Design(), "Command1"));
    HWND close = control(main, app::form1Design(), "Command4");
    click(close);
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }));
    EXPECT_TRUE(s.kolbrin->running());
    EXPECT_TRUE(trayShowsAnIcon());
    EXPECT_EQ(s.showMainWindow(), main);
    EXPECT_EQ(focusIn(main), close);
    // The close button was clicked and the icon pressed: a mouse user sees no focus cue; Alt shows it.
    EXPECT_EQ(focusColumns(close), std::vector<int>{});
    screenshot("main-window-shown-again");
    pressKey(VK_MENU);
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(waitUntil([&] { return focusColumns(close) == scaledFocusColumns(); }, 3s));
    chooseMenu(main, 'S', 2);  // 閉じる(&Q)
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }));
    EXPECT_TRUE(s.kolbrin->running());
}

// Menus belong to their process under Wine and cannot be read from outside: take pictures to look at.
TEST(MainWindow, MenusOpenFromTheKeyboard) {
    Session s(currentTestName());
    s.start();
    HWND main = s.showMainWindow();
    for (char letter : {'S', 'T'}) {
        SetForegroundWindow(main);
        Sleep(200);
        pressWithAlt(static_cast<WORD>(letter));
        Sleep(500);
        screenshot(std::string("menu-") + letter);
        pressKey(VK_ESCAPE);
        pressKey(VK_ESCAPE);
    }
    EXPECT_TRUE(IsWindowVisible(main));
}

TEST(MainWindow, ExitButtonAndExitMenuEndTheProgramAndRemoveTheIcon) {
    for (bool viaMenu : {false, true}) {
        Session s(currentTestName() + (viaMenu ? "-menu" : "-button"));
        s.start();
        HWND main = s.showMainWindow();
        if (viaMenu) {
            chooseMenu(main, 'S', 3);  // 終了(&E)
        } else {
            click(control(main, app::form1Design(), "Command5"));
        }
        EXPECT_TRUE(s.kolbrin->waitForExit()) << viaMenu;
        EXPECT_TRUE(waitUntil([] { return !trayShowsAnIcon(); }, 3s)) << viaMenu;
    }
}

TEST(MainWindow, ScanQuestionStaysInFrontWhenTheTrayIconIsPressedAndNoOpensNothing) {
    Session s(currentTestName());
    s.start();
    HWND main = s.showMainWindow();
    click(control(main, app::form1Design(), "Command2"));
    HWND box = s.kolbrin->waitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(isPlainMessage(
        box, L"この作業は開発途中(β版)のため、時間が数分かかる事があります。実行しますか？", {IDYES, IDNO}));
    // Showing the main window while the question is up must not bury the question under it.
    clickAt(trayIconPoint());
    Sleep(1000);
    screenshot("scan-question-after-tray-press");
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_EQ(GetAncestor(WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}), GA_ROOT),
              box);
    EXPECT_FALSE(IsWindowEnabled(main));
    s.answer(IDNO);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_TRUE(IsWindowEnabled(main));
    Sleep(500);
    EXPECT_EQ(s.kolbrin->window("Form7"), nullptr);
    EXPECT_TRUE(IsWindowVisible(main));
}

struct DialogRow {
    const char* name;
    int index;
    const wchar_t* caption;
    Place at[3];  // in the window's client area
};

// Inside a frame: the frame's position and the control's own, each rounded on its own, added.
// clang-format off
const DialogRow kDialogRows[] = {
    {"Command1", ui::kNoIndex, L"OK", {{98, 128, 92, 29}, {123, 160, 115, 36}, {147, 192, 138, 44}}},
    {"Frame1", ui::kNoIndex, L"最適化速度", {{14, 14, 120, 85}, {18, 18, 150, 106}, {21, 21, 180, 128}}},
    {"Option1", 0, L"すばやく簡単", {{21, 35, 92, 15}, {27, 44, 115, 19}, {32, 53, 138, 23}}},
    {"Option1", 1, L"通常", {{21, 56, 50, 15}, {27, 71, 63, 19}, {32, 84, 75, 23}}},
    {"Option1", 2, L"ゆっくり念入りに", {{21, 77, 106, 15}, {27, 97, 133, 19}, {32, 116, 159, 23}}},
    {"Frame2", ui::kNoIndex, L"メモリスキャン速度", {{147, 14, 120, 85}, {184, 18, 150, 106}, {221, 21, 180, 128}}},
    {"Option2", 0, L"すばやく簡単", {{154, 35, 92, 15}, {193, 44, 115, 19}, {232, 53, 138, 23}}},
    {"Option2", 1, L"通常", {{154, 56, 78, 15}, {193, 71, 98, 19}, {232, 84, 117, 23}}},
    {"Option2", 2, L"ゆっくり念入りに", {{154, 77, 106, 15}, {193, 97, 133, 19}, {232, 116, 159, 23}}},
    {"Check1", ui::kNoIndex, L"バックアップしながら最適化", {{14, 105, 162, 15}, {18, 131, 203, 19}, {21, 158, 243, 23}}},
};
// clang-format on

void checkDialogLayout(Session& s, const std::string& shot) {
    HWND main = s.showMainWindow();
    HWND dialog = s.openSettings(main);
    ASSERT_NE(dialog, nullptr);
    SIZE client = clientSize(dialog);
    SIZE design = atScreenDpi({281, 166}, {351, 208}, {422, 249});  // 4215 x 2490 twips
    EXPECT_EQ(client.cx, design.cx);
    EXPECT_EQ(client.cy, design.cy);
    for (const auto& row : kDialogRows) {
        HWND c = control(dialog, settings::form6Design(), row.name, row.index);
        EXPECT_EQ(text(c), row.caption) << row.name << row.index;
        expectPlacedAt(c, row.at, row.name + std::to_string(row.index));
    }
    screenshot(shot);
}

TEST(SettingsDialog, LayoutAtEveryDpi) {
    Session s(currentTestName());
    s.start();
    ASSERT_EQ(screenDpi(), passDpi());
    checkDialogLayout(s, "settings-dialog-" + std::to_string(passDpi()) + "dpi");
}

TEST(SettingsDialog, OpensOnceInNormalStateAndEnterSavesTheChoices) {
    Session s(currentTestName());
    s.start();
    HWND main = s.showMainWindow();
    HWND dialog = s.openSettings(main);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(text(dialog), L"設定");
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    chooseMenu(main, 'T', 0);  // 設定(&Z) again
    EXPECT_EQ(s.kolbrin->window("Form6"), dialog);
    EXPECT_FALSE(IsIconic(dialog));
    EXPECT_TRUE(IsWindowVisible(main));
    screenshot("settings-dialog");
    // Choosing the settings again does not raise the dialog over the main window: click its title.
    RECT frame;
    GetWindowRect(dialog, &frame);
    clickAt(POINT{frame.left + 8, frame.top + 6});
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == dialog; }, 3s));

    const auto& d = settings::form6Design();
    click(control(dialog, d, "Option1", 2));
    click(control(dialog, d, "Option2", 2));
    click(control(dialog, d, "Check1"));
    screenshot("settings-dialog-changed");
    EXPECT_TRUE(checked(control(dialog, d, "Option1", 2)));
    EXPECT_FALSE(checked(control(dialog, d, "Option1", 1)));
    EXPECT_TRUE(checked(control(dialog, d, "Option2", 2)));
    EXPECT_FALSE(checked(control(dialog, d, "Check1")));
    SetForegroundWindow(dialog);
    pressKey(VK_RETURN);
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(dialog); }));
    EXPECT_TRUE(
        waitUntil([&] { return s.folder.read("1.dat") == testing_support::settingsFile("3", "3", "0"); }));
    EXPECT_TRUE(IsWindowVisible(main));
}

TEST(SettingsDialog, ClosingItDiscardsTheChangeAndReopeningReadsTheFile) {
    Session s(currentTestName());
    s.folder.write("1.dat", testing_support::settingsFile("1", "3", "1"));
    s.start();
    HWND main = s.showMainWindow();
    HWND dialog = s.openSettings(main);
    ASSERT_NE(dialog, nullptr);
    const auto& d = settings::form6Design();
    click(control(dialog, d, "Option1", 1));
    // An arrow key moves down the group, round from the last to the first, and chooses the option it
    // reaches.
    pressKey(VK_DOWN);
    EXPECT_TRUE(waitUntil([&] { return checked(control(dialog, d, "Option1", 2)); }));
    pressKey(VK_DOWN);
    EXPECT_TRUE(waitUntil([&] { return checked(control(dialog, d, "Option1", 0)); }));
    EXPECT_EQ(focusIn(dialog), control(dialog, d, "Option1", 0));
    EXPECT_FALSE(checked(control(dialog, d, "Option1", 1)));
    EXPECT_TRUE(checked(control(dialog, d, "Option2", 2)));  // the other group is left alone
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);        // the title bar's close box
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    chooseMenu(main, 'T', 0);
    dialog = s.kolbrin->waitForWindow("Form6");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(checked(control(dialog, d, "Option1", 0)));
    EXPECT_TRUE(checked(control(dialog, d, "Option2", 2)));
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }));
    EXPECT_TRUE(trayShowsAnIcon(0));
    EXPECT_FALSE(trayShowsAnIcon(1));
}

}  // namespace
