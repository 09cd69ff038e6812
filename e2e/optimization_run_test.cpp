// The optimization run on the real program: the progress window, the run log on disk, the end of a
// run, Cancel, and a program folder that refuses the log.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/form1.h"
#include "cp932_bytes.h"
#include "e2e/design_lookup.h"
#include "e2e/session.h"
#include "optimize/form4.h"

using namespace e2e;

namespace {

std::string logOf(int lines) {
    std::string log;
    for (int i = 0; i < lines; ++i) {
        log += "Data Error none...\r\n";
    }
    return log;
}

// A program whose settings choose the quick level, with its main window up and a run started from it.
struct QuickRun {
    Session s;
    HWND main = nullptr;
    HWND form4 = nullptr;

    explicit QuickRun(const std::string& name, bool denyWrites = false) : s(name) {
        s.folder.write("1.dat", testing_support::settingsFile("1", "2", "1"));
        s.start();
        if (denyWrites) {
            s.folder.denyWrites();
        }
        main = s.showMainWindow();
        click(control(main, app::form1Design(), "Command1"));
        form4 = s.kolbrin->waitForWindow("Form4", true, 5s);
        EXPECT_NE(form4, nullptr) << "the progress window did not appear";
    }
    HWND part(const char* name) const { return control(form4, optimize::form4Design(), name); }
    std::wstring progress() const { return text(part("Label2")); }
    bool finished(Millis timeout = 30s) const {
        return waitUntil([&] { return progress() == L"完了"; }, timeout);
    }
};

TEST(OptimizationRun, QuickRunRewritesTheLogThenFinishesAndEnterPressesOkAndBringsBackTheMainWindow) {
    QuickRun run(currentTestName());
    ASSERT_NE(run.form4, nullptr);
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(run.main); }, 3s));
    EXPECT_EQ(text(run.part("Label1")), L"最適化中……");
    // Borderless, no title bar and no taskbar button; centred on the screen.
    const LONG style = GetWindowLongW(run.form4, GWL_STYLE), exStyle = GetWindowLongW(run.form4, GWL_EXSTYLE);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    const SIZE client = clientSize(run.form4);
    const SIZE design = atScreenDpi({142, 128}, {178, 160}, {213, 192});  // 2130 x 1920 twips
    EXPECT_EQ(client.cx, design.cx);
    EXPECT_EQ(client.cy, design.cy);
    RECT placed;
    GetWindowRect(run.form4, &placed);
    EXPECT_NEAR((placed.left + placed.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((placed.top + placed.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    // The log is truncated and rewritten at every tick: catch it whole between two ticks.
    const std::string expected = logOf(400);
    std::size_t lastSize = 0;
    EXPECT_TRUE(waitUntil(
        [&] {
            auto log = run.s.folder.read("log.dat");
            lastSize = log ? log->size() : 0;
            return log == expected;
        },
        5s))
        << "log.dat last held " << lastSize << " bytes";
    ASSERT_TRUE(waitUntil([&] { return run.progress().ends_with(L"％"); }, 3s));
    screenshot("optimization-running");
    EXPECT_TRUE(IsWindowVisible(run.part("Command2")));
    EXPECT_FALSE(IsWindowVisible(run.part("Command1")));

    ASSERT_TRUE(run.finished()) << narrow(run.progress());
    HWND ok = run.part("Command1");
    EXPECT_TRUE(IsWindowVisible(ok));
    EXPECT_TRUE(IsWindowEnabled(ok));
    EXPECT_FALSE(IsWindowVisible(run.part("Command2")));
    EXPECT_FALSE(run.s.folder.exists("log.dat"));
    EXPECT_FALSE(IsWindowVisible(run.main));
    screenshot("optimization-done");

    // Cancel had the focus and is gone: the focus went on to OK, so Enter presses it.
    EXPECT_EQ(focusIn(run.form4), ok);
    pressKey(VK_RETURN);
    EXPECT_TRUE(waitUntil([&] { return !run.s.kolbrin->visible("Form4"); }, 3s));
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(run.main); }, 3s));
    EXPECT_TRUE(run.s.kolbrin->running());
}

TEST(OptimizationRun, CancelSaysSoHoldsTheRunWhileAskingAndLeavesNoLog) {
    QuickRun run(currentTestName());
    ASSERT_NE(run.form4, nullptr);
    ASSERT_TRUE(waitUntil([&] { return run.progress().ends_with(L"％"); }, 3s));
    click(run.part("Command2"));
    HWND box = run.s.kolbrin->waitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(isPlainMessage(box, L"最適化が中断されました。もう一度最適化を行ってください。", {IDOK}));
    screenshot("optimization-cancelled");
    // Longer than the rest of a quick run: the run stands still behind the message.
    std::wstring shown = run.progress();
    Sleep(3500);
    EXPECT_EQ(run.progress(), shown);
    EXPECT_TRUE(run.s.folder.exists("log.dat"));

    run.s.answer(IDOK);
    EXPECT_TRUE(waitUntil([&] { return !run.s.kolbrin->visible("Form4"); }, 3s));
    EXPECT_FALSE(run.s.folder.exists("log.dat"));
    Sleep(500);
    EXPECT_FALSE(IsWindowVisible(run.main));
    EXPECT_TRUE(run.s.kolbrin->running());
    EXPECT_TRUE(trayShowsAnIcon());
}

TEST(OptimizationRun, AFolderThatRefusesTheLogStillLetsTheRunFinish) {
    QuickRun run(currentTestName(), true);
    ASSERT_NE(run.form4, nullptr);
    ASSERT_TRUE(waitUntil([&] { return run.progress().ends_with(L"％"); }, 3s));
    EXPECT_FALSE(run.s.folder.exists("log.dat"));
    ASSERT_TRUE(run.finished()) << narrow(run.progress());
    EXPECT_FALSE(run.s.folder.exists("log.dat"));
    EXPECT_EQ(run.s.kolbrin->messageBox(), nullptr);
    click(run.part("Command1"));
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(run.main); }, 3s));
    EXPECT_TRUE(run.s.kolbrin->running());
}

}  // namespace
