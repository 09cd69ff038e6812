// Start-up, the settings file and the tray icon, on the real program.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "cp932_bytes.h"
#include "e2e/design_lookup.h"
#include "e2e/session.h"
#include "settings/form6.h"

using namespace e2e;
using testing_support::kDefaultFile;
using testing_support::settingsFile;

namespace {

TEST(Startup, FirstStartWritesTheDefaultFileAndShowsOnlyTheTrayIcon) {
    Session s(currentTestName());
    s.start();
    ASSERT_TRUE(waitUntil([&] { return s.folder.exists("1.dat"); }));
    EXPECT_EQ(s.folder.read("1.dat"), kDefaultFile);
    ASSERT_NE(s.kolbrin->window("Form1"), nullptr);
    EXPECT_FALSE(s.kolbrin->visible("Form1"));
    EXPECT_FALSE(s.kolbrin->visible("Form6"));
    EXPECT_EQ(s.kolbrin->messageBox(), nullptr);
    EXPECT_TRUE(waitUntil([] { return trayShowsAnIcon(); }));
    screenshot("startup-tray");
}

TEST(Startup, OnlyALeftPressOnTheTrayIconShowsTheMainWindow) {
    Session s(currentTestName());
    s.start();
    moveTo(trayIconPoint());
    clickAt(trayIconPoint(), /*right=*/true);
    Sleep(500);
    EXPECT_FALSE(s.kolbrin->visible("Form1"));
    HWND main = s.showMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(text(main), L"Kolbrin Ver.1.20");
    screenshot("main-window");
}

TEST(Startup, ASecondLaunchSaysSoAndEndsWhileTheFirstRunsOn) {
    Session s(currentTestName());
    s.start();
    ASSERT_TRUE(waitUntil([] { return trayShowsAnIcon(); }));
    Kolbrin second(s.folder);
    HWND box = second.waitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(isPlainMessage(box, L"既に起動しています。", {IDOK}));
    EXPECT_EQ(second.window("Form1"), nullptr);
    click(GetDlgItem(box, IDOK));
    EXPECT_TRUE(second.waitForExit());
    EXPECT_TRUE(s.kolbrin->running());
    Sleep(500);
    EXPECT_TRUE(trayShowsAnIcon(0));
    EXPECT_FALSE(trayShowsAnIcon(1)) << "a second icon appeared";
    EXPECT_NE(s.showMainWindow(), nullptr);
}

// Answered from the keyboard alone: the question must have the keys at start-up.
TEST(Startup, AnIncompatibleFileAnsweredNoWithTheKeyboardEndsAndKeepsTheFile) {
    Session s(currentTestName());
    const std::string file = "Kolbrin settings\r\nVer.2.00\r\n";
    s.folder.write("1.dat", file);
    s.kolbrin = std::make_unique<Kolbrin>(s.folder);
    HWND box = s.kolbrin->waitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(isPlainMessage(box, L"この設定ファイルは互換性がありません。設定を初期化してよろしいですか？",
                               {IDYES, IDNO}));
    pressKey(VK_TAB);  // from はい to いいえ
    pressKey(VK_RETURN);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(box); }, 5s)) << "the question takes no keys";
    box = s.kolbrin->waitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(isPlainMessage(box, L"終了します", {IDOK}));
    pressKey(VK_RETURN);
    EXPECT_TRUE(s.kolbrin->waitForExit());
    EXPECT_EQ(s.folder.read("1.dat"), file);
    EXPECT_TRUE(waitUntil([] { return !trayShowsAnIcon(); }, 3s));
}

TEST(Startup, AnIncompatibleFileAnsweredYesIsReset) {
    Session s(currentTestName());
    s.folder.write("1.dat", "Kolbrin settings\n");
    s.kolbrin = std::make_unique<Kolbrin>(s.folder);
    s.answer(IDYES);
    s.kolbrin->waitIdle();
    EXPECT_TRUE(waitUntil([&] { return s.folder.read("1.dat") == kDefaultFile; }));
    EXPECT_TRUE(s.kolbrin->running());
    EXPECT_EQ(s.kolbrin->messageBox(), nullptr);
}

TEST(Startup, TheFilesSettingsReachTheDialog) {
    Session s(currentTestName());
    s.folder.write("1.dat", settingsFile("3", "1", "0"));
    s.start();
    HWND main = s.showMainWindow();
    HWND dialog = s.openSettings(main);
    ASSERT_NE(dialog, nullptr);
    const auto& d = settings::form6Design();
    EXPECT_TRUE(checked(control(dialog, d, "Option1", 2)));
    EXPECT_FALSE(checked(control(dialog, d, "Option1", 1)));
    EXPECT_TRUE(checked(control(dialog, d, "Option2", 0)));
    EXPECT_FALSE(checked(control(dialog, d, "Option2", 1)));
    EXPECT_FALSE(checked(control(dialog, d, "Check1")));
}

TEST(Startup, AWholeSavedFileLeftAloneBecomesTheSettingsFile) {
    Session s(currentTestName());
    s.folder.write("1.dat.new", settingsFile("3", "1", "0"));
    s.start();
    EXPECT_EQ(s.folder.read("1.dat"), settingsFile("3", "1", "0"));
    EXPECT_FALSE(s.folder.exists("1.dat.new"));
}

TEST(Startup, TheMainWindowsCloseBoxEndsTheProgramAndRemovesTheIcon) {
    Session s(currentTestName());
    s.start();
    HWND main = s.showMainWindow();
    SetForegroundWindow(main);
    Sleep(200);
    pressWithAlt(VK_F4);
    EXPECT_TRUE(s.kolbrin->waitForExit());
    EXPECT_TRUE(waitUntil([] { return !trayShowsAnIcon(); }, 3s));
}

}  // namespace
