// The main window and the settings dialog on the real program: layout, texts and commands.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/form1.h"
#include "cp932_bytes.h"
#include "e2e/design_lookup.h"
#include "e2e/session.h"
#include "settings/form6.h"
#include "ui/scale.h"

using namespace e2e;

namespace {

int twips(int t) {
    return ui::Scale(ui::Unit::Twips, screenDpi())(t);
}

struct ButtonRow {
    const char* name;
    const wchar_t* caption;
    const wchar_t* tooltip;
    int left, top, width, height;  // twips
};

const ButtonRow kButtons[] = {
    {"Command1", L"最適化開始", L"メモリの最適化を行います", 210, 120, 2535, 330},
    {"Command2", L"メモリスキャン β", L"メモリのスキャンをします", 210, 525, 2535, 330},
    {"Command3", L"設定", L"各種設定を行います", 210, 945, 2535, 330},
    {"Command4", L"閉じる", L"ウィンドウを隠します", 210, 1365, 1590, 330},
    {"Command5", L"終了する", L"プログラムを終了します", 1890, 1365, 855, 330},
};

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
        RECT r = childRect(button);
        EXPECT_EQ(r.left, twips(b.left)) << b.name;
        EXPECT_EQ(r.top, twips(b.top)) << b.name;
        EXPECT_EQ(r.right - r.left, twips(b.width)) << b.name;
        EXPECT_EQ(r.bottom - r.top, twips(b.height)) << b.name;
    }
}

TEST(MainWindow, LayoutAndCaptionsAtEveryDpi) {
    Session s(currentTestName());
    s.start();
    ASSERT_EQ(screenDpi(), passDpi());
    checkLayout(s);
    screenshot("main-window-" + std::to_string(passDpi()) + "dpi");
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
    screenshot("main-window-shown-again");
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
    int left, top, width, height;  // twips, in the window's client area
};

// Positions inside a frame are the frame's position plus the control's own.
const DialogRow kDialogRows[] = {
    {"Command1", ui::kNoIndex, L"OK", 1470, 1920, 1380, 435},
    {"Frame1", ui::kNoIndex, L"最適化速度", 210, 210, 1800, 1275},
    {"Option1", 0, L"すばやく簡単", 210 + 105, 210 + 315, 1380, 225},
    {"Option1", 1, L"通常", 210 + 105, 210 + 630, 750, 225},
    {"Option1", 2, L"ゆっくり念入りに", 210 + 105, 210 + 945, 1590, 225},
    {"Frame2", ui::kNoIndex, L"メモリスキャン速度", 2205, 210, 1800, 1275},
    {"Option2", 0, L"すばやく簡単", 2205 + 105, 210 + 315, 1380, 225},
    {"Option2", 1, L"通常", 2205 + 105, 210 + 630, 1170, 225},
    {"Option2", 2, L"ゆっくり念入りに", 2205 + 105, 210 + 945, 1590, 225},
    {"Check1", ui::kNoIndex, L"バックアップしながら最適化", 210, 1575, 2430, 225},
};

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
        RECT r = childRect(c);
        // Each part is rounded on its own: a control in a frame may sit a pixel off the sum.
        EXPECT_NEAR(r.left, twips(row.left), 1) << row.name << row.index;
        EXPECT_NEAR(r.top, twips(row.top), 1) << row.name << row.index;
        EXPECT_EQ(r.right - r.left, twips(row.width)) << row.name << row.index;
        EXPECT_EQ(r.bottom - r.top, twips(row.height)) << row.name << row.index;
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
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the title bar's close box
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
