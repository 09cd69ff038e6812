// Start-up, the tray icon and the ways out of the program.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "cp932_bytes.h"
#include "harness.h"
#include "trace_match.h"

using namespace testing_support;

namespace {

// The main window is made visible and hidden again inside the start-up's load: it never reaches the screen.
TEST(Startup, AddsTheIconThenHidesTheMainWindowThenReadsTheSettings) {
    HeadlessApp app;
    ASSERT_TRUE(app.start());
    EXPECT_TRUE(inOrder(app.trace, {"load Form6", "load Form1", "tray add", "tray version 3", "read 1.dat",
                                    "replace 1.dat", "read 1.dat"}))
        << ::testing::PrintToString(app.trace);
    EXPECT_EQ(countOf(app.trace, "load Form1"), 1);
    EXPECT_EQ(countOf(app.trace, "show Form1"), 0);
    EXPECT_TRUE(app.program.form1.loaded());
    EXPECT_FALSE(app.program.form1.visible());
    EXPECT_FALSE(app.program.form6.visible());
    EXPECT_EQ(app.shell.icons.size(), 1u);
    EXPECT_EQ(app.settingsFile(), kDefaultFile);
    EXPECT_TRUE(app.backend.messages().empty());
}

TEST(Startup, FillsTheIconRecord) {
    HeadlessApp app;
    ASSERT_TRUE(app.start());
    const platform::IconData& icon = app.shell.icons.at(0);
    EXPECT_EQ(icon.cbSize, sizeof(platform::IconData));
    EXPECT_EQ(icon.uID, 0u);
    EXPECT_EQ(icon.uFlags, 7u);
    EXPECT_EQ(icon.uCallbackMessage, 512u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(icon.hIcon), app.backend.mainIconHandle());
    auto& form1 = app.program.form1;
    EXPECT_EQ(icon.hWnd, reinterpret_cast<void*>(form1.nativeHandle(form1.control("picRespond"))));
    std::string tip(icon.szTip, sizeof(icon.szTip));
    EXPECT_EQ(tip, std::string("Kolbrin") + '\0' + std::string(56, ' '));
}

TEST(Startup, SecondInstanceSaysSoAndEndsWithoutTouchingAnything) {
    HeadlessApp app;
    app.shell.otherInstance = true;
    app.files.content[kSettingsPath] = "keep";
    EXPECT_FALSE(app.start());
    ASSERT_EQ(app.backend.messages().size(), 1u);
    EXPECT_EQ(app.backend.messages()[0].text, "既に起動しています。");
    EXPECT_EQ(app.backend.messages()[0].buttons, ui::MessageButtons::Ok);
    EXPECT_FALSE(app.program.form1.loaded());
    EXPECT_TRUE(app.shell.icons.empty());
    EXPECT_EQ(countOf(app.trace, "tray add"), 0);
    EXPECT_EQ(countOf(app.trace, "read 1.dat"), 0);
    EXPECT_EQ(app.settingsFile(), "keep");
}

TEST(Startup, ProgramFolderEndsInExactlyOneBackslash) {
    struct Case {
        const char* reported;
        const char* kept;
    };
    for (auto c : {Case{"C:\\Tools", "C:\\Tools\\"}, Case{"C:\\", "C:\\"}, Case{"D:\\a\\b", "D:\\a\\b\\"}}) {
        HeadlessApp app;
        app.shell.folder = c.reported;
        ASSERT_TRUE(app.start());
        EXPECT_EQ(app.program.AppPath, c.kept);
        EXPECT_TRUE(app.files.content.contains(std::string(c.kept) + "1.dat"));
    }
}

TEST(TrayIcon, OnlyALeftButtonPressOrItsKeysShowTheMainWindow) {
    struct Case {
        int mouseMessage;
        bool shows;
    };
    // Mouse messages, then what the shell reports for the keyboard: the context-menu key, Enter after a
    // mouse selection, Enter or Space, a balloon shown.
    for (auto c : {Case{0x200, false}, Case{0x201, true}, Case{0x202, false}, Case{0x203, false},
                   Case{0x204, false}, Case{0x205, false}, Case{0x206, false}, Case{0x207, false},
                   Case{0x07b, false}, Case{0x400, true}, Case{0x401, true}, Case{0x402, false}}) {
        HeadlessApp app;
        ASSERT_TRUE(app.start());
        ASSERT_TRUE(app.tray(c.mouseMessage));
        EXPECT_EQ(app.program.form1.visible(), c.shows) << c.mouseMessage;
    }
}

TEST(TrayIcon, PressOnAVisibleMainWindowOnlyActivatesIt) {
    HeadlessApp app;
    ASSERT_TRUE(app.start());
    ASSERT_TRUE(app.tray(0x201));
    int before = app.backend.activations(app.program.form1);
    app.clearTrace();
    ASSERT_TRUE(app.tray(0x201));
    EXPECT_EQ(app.backend.activations(app.program.form1), before + 1);
    EXPECT_TRUE(app.trace.empty()) << ::testing::PrintToString(app.trace);
}

TEST(TrayIcon, IsAddedLaterWhenTheShellWasNotReady) {
    HeadlessApp app;
    app.shell.shellReady = false;
    ASSERT_TRUE(app.start());
    EXPECT_TRUE(app.shell.icons.empty());
    ASSERT_TRUE(app.advance(3000));
    EXPECT_TRUE(app.shell.icons.empty());
    app.shell.shellReady = true;
    ASSERT_TRUE(app.advance(1000));
    EXPECT_EQ(app.shell.icons.size(), 1u);
    app.clearTrace();
    ASSERT_TRUE(app.advance(5000));
    EXPECT_EQ(countOf(app.trace, "tray add"), 0);  // the retries stop once the icon is there
}

TEST(TrayIcon, AnIconTakenWhileTheAddReportedFailedGetsTheKeyboardVersion) {
    HeadlessApp app;
    app.shell.addReportedFailed = true;  // as while Explorer starts at sign-in
    ASSERT_TRUE(app.start());
    EXPECT_TRUE(inOrder(app.trace, {"tray add", "tray modify", "tray version 3"}));
}

TEST(TrayIcon, IsAddedAgainWhenTheTaskbarIsRecreatedButNeverTwice) {
    HeadlessApp app;
    ASSERT_TRUE(app.start());
    auto& form1 = app.program.form1;
    app.shell.icons.clear();  // the shell restarted and lost its icons
    app.clearTrace();
    form1.shellRestarted();
    EXPECT_EQ(app.shell.icons.size(), 1u);
    EXPECT_EQ(app.trace, (headless::Trace{"tray add", "tray version 3"}));  // the new icon asks again
    form1.shellRestarted();  // a second notice while the icon survived
    EXPECT_EQ(app.shell.icons.size(), 1u);
    // The icon is there, so nothing is retried: an idle program keeps no timer running.
    EXPECT_FALSE(form1.timer("trayRetry").enabled);
    app.clearTrace();
    ASSERT_TRUE(app.advance(5000));
    EXPECT_TRUE(app.trace.empty()) << ::testing::PrintToString(app.trace);

    // A notice that comes before the new shell takes icons is retried until it does.
    app.shell.icons.clear();
    app.shell.shellReady = false;
    form1.shellRestarted();
    EXPECT_TRUE(form1.timer("trayRetry").enabled);
    app.shell.shellReady = true;
    ASSERT_TRUE(app.advance(1000));
    EXPECT_EQ(app.shell.icons.size(), 1u);
    EXPECT_FALSE(form1.timer("trayRetry").enabled);
}

TEST(Exits, EachRemovesTheIconAndEndsAtOnce) {
    struct Case {
        const char* name;
        std::function<bool(HeadlessApp&)> exit;
    };
    std::vector<Case> cases = {
        {"menu", [](HeadlessApp& a) { return a.menu("aEnd"); }},
        {"button", [](HeadlessApp& a) { return a.click(a.program.form1, "Command5"); }},
        {"close box", [](HeadlessApp& a) { return a.close(a.program.form1); }},
    };
    for (auto& c : cases) {
        HeadlessApp app;
        ASSERT_TRUE(app.start());
        ASSERT_TRUE(app.tray(0x201));
        app.clearTrace();
        EXPECT_FALSE(c.exit(app)) << c.name;
        EXPECT_EQ(app.trace, (headless::Trace{"tray delete", "end"})) << c.name;
        EXPECT_TRUE(app.shell.icons.empty()) << c.name;
        EXPECT_TRUE(app.backend.ended());
    }
}

TEST(Exits, HidingTheMainWindowKeepsTheIcon) {
    HeadlessApp app;
    ASSERT_TRUE(app.start());
    ASSERT_TRUE(app.tray(0x201));
    ASSERT_TRUE(app.click(app.program.form1, "Command4"));
    EXPECT_FALSE(app.program.form1.visible());
    EXPECT_EQ(app.shell.icons.size(), 1u);
}

// The defaults in the dialog: normal, normal, backup ticked.
void expectDefaultsInTheDialog(settings::Form6& form6, const char* name) {
    EXPECT_EQ(form6.selectedIndex("Option1"), 1) << name;
    EXPECT_EQ(form6.selectedIndex("Option2"), 1) << name;
    EXPECT_EQ(form6.control("Check1").value, 1) << name;
}

TEST(SettingsReset, ABrokenFileThatCannotBeReplacedLeavesTheDefaultsAndSaysSo) {
    struct Case {
        const char* name;
        std::function<void(HeadlessApp&)> arrange;
        int questions;
    };
    std::vector<Case> cases = {
        {"read-only folder, no file", [](HeadlessApp& a) { a.files.readOnly = true; }, 0},
        {"the last step of the replace fails, no file",
         [](HeadlessApp& a) { a.files.failReplaceOnly = true; }, 0},
        {"incompatible file in a read-only folder",
         [](HeadlessApp& a) {
             a.files.content[kSettingsPath] = "other\r\n";
             a.files.readOnly = true;
         },
         1},
    };
    for (auto& c : cases) {
        HeadlessApp app;
        c.arrange(app);
        ASSERT_TRUE(app.start()) << c.name;
        auto& form6 = app.program.form6;
        expectDefaultsInTheDialog(form6, c.name);
        const auto& messages = app.backend.messages();
        ASSERT_EQ(messages.size(), static_cast<std::size_t>(c.questions) + 1) << c.name;
        EXPECT_EQ(messages.back().text, "設定ファイルを作成できませんでした。標準の設定で起動します。");
        EXPECT_EQ(countOf(app.trace, "replace 1.dat"), 1) << c.name;
        EXPECT_EQ(app.shell.icons.size(), 1u);

        // The dialog's close box runs the start-up again: the same failure, told only once a run.
        ASSERT_TRUE(app.menu("aSettei"));
        ASSERT_TRUE(app.close(form6));
        ASSERT_TRUE(app.menu("aSettei")) << c.name;
        EXPECT_EQ(countOf(app.trace, "replace 1.dat"), 2) << c.name;
        EXPECT_EQ(messages.size(), static_cast<std::size_t>(c.questions) * 2 + 1) << c.name;
    }
}

TEST(SettingsReset, AFileThatDoesNotReadBackIsNotResetAgain) {
    HeadlessApp app;
    app.files.failingReads.insert(kSettingsPath);  // missing at first; the defaults written do not read back
    ASSERT_TRUE(app.start());
    EXPECT_EQ(countOf(app.trace, "read 1.dat"), 2);
    EXPECT_EQ(countOf(app.trace, "replace 1.dat"), 1);
    EXPECT_EQ(app.program.form6.control("Check1").value, 1);
    ASSERT_EQ(app.backend.messages().size(), 1u);
    EXPECT_EQ(app.backend.messages()[0].text, "設定ファイルを作成できませんでした。標準の設定で起動します。");
}

TEST(SettingsReset, AFileThatIsThereButCannotBeReadIsNeverWritten) {
    struct Case {
        const char* name;
        std::set<std::string> headless::Files::*fault;
    };
    const Case cases[] = {
        {"held by a program that shares no reading", &headless::Files::locked},
        {"access denied (a folder in its place)", &headless::Files::directories},
        {"a read fails part-way (an online-only copy offline)", &headless::Files::failingReads},
    };
    for (const auto& c : cases) {
        HeadlessApp app;
        app.files.content[kSettingsPath] = settingsFile("3", "3", "0");
        (app.files.*c.fault).insert(kSettingsPath);
        const auto before = app.files.content;
        ASSERT_TRUE(app.start()) << c.name;
        auto& form6 = app.program.form6;
        expectDefaultsInTheDialog(form6, c.name);
        const auto& messages = app.backend.messages();
        ASSERT_EQ(messages.size(), 1u) << c.name;
        EXPECT_EQ(messages[0].text, "設定ファイルを読み込めませんでした。標準の設定で起動します。");

        // The dialog's close box runs the start-up again: told once a run, and still nothing written.
        ASSERT_TRUE(app.menu("aSettei"));
        ASSERT_TRUE(app.close(form6));
        ASSERT_TRUE(app.menu("aSettei")) << c.name;
        EXPECT_EQ(countOf(app.trace, "read 1.dat"), 2) << c.name;
        EXPECT_EQ(messages.size(), 1u) << c.name;
        EXPECT_EQ(countOf(app.trace, "replace 1.dat") + countOf(app.trace, "write 1.dat"), 0) << c.name;
        EXPECT_EQ(app.files.content, before) << c.name;

        // Once the file can be reached again, OK saves as usual.
        (app.files.*c.fault).clear();
        ASSERT_TRUE(form6.visible()) << c.name;
        ASSERT_TRUE(app.click(form6, "Option1", 2));
        ASSERT_TRUE(app.click(form6, "Command1"));
        EXPECT_EQ(app.settingsFile(), settingsFile("3", "2", "1")) << c.name;
    }
}

TEST(RunAgain, ClosingTheSettingsDialogRerunsTheStartupOnItsNextUse) {
    HeadlessApp app;
    app.files.content[kSettingsPath] = settingsFile("3", "1", "0");
    ASSERT_TRUE(app.start());
    ASSERT_TRUE(app.tray(0x201));
    ASSERT_TRUE(app.click(app.program.form1, "Command3"));
    auto& form6 = app.program.form6;
    ASSERT_TRUE(form6.visible());
    ASSERT_TRUE(app.click(form6, "Option1", 0));
    ASSERT_TRUE(app.click(form6, "Check1"));
    ASSERT_TRUE(app.close(form6));
    EXPECT_FALSE(form6.loaded());
    app.clearTrace();

    ASSERT_TRUE(app.menu("aSettei"));
    EXPECT_TRUE(inOrder(app.trace, {"load Form6", "hide Form1", "read 1.dat", "show Form6"}))
        << ::testing::PrintToString(app.trace);
    EXPECT_EQ(countOf(app.trace, "load Form1"), 0);
    EXPECT_EQ(countOf(app.trace, "tray add"), 0);
    EXPECT_EQ(app.shell.icons.size(), 1u);
    EXPECT_FALSE(app.program.form1.visible());
    EXPECT_TRUE(form6.visible());
    EXPECT_EQ(form6.selectedIndex("Option1"), 2);
    EXPECT_EQ(form6.control("Check1").value, 0);
    EXPECT_TRUE(app.backend.messages().empty());
}

}  // namespace
