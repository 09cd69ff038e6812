// What the system and other programs can do to the running program: a shell restart, files held open by
// another program, many launches at once. Each leaves the program usable and loses nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "app/form1.h"
#include "cp932_bytes.h"
#include "e2e/design_lookup.h"
#include "e2e/session.h"
#include "optimize/form4.h"
#include "settings/form6.h"

using namespace e2e;
using testing_support::settingsFile;

namespace {

// Whatever its exact wording goes on to say, the failed-save message starts so.
constexpr std::wstring_view kSaveFailedStart = L"設定ファイルを保存できませんでした。";

bool exactlyOneTrayIcon() {
    return trayShowsAnIcon(0) && !trayShowsAnIcon(1);
}

TEST(Faults, AShellRestartGetsBackExactlyOneIconThatWorks) {
    Session s(currentTestName());
    s.start();
    ASSERT_TRUE(waitUntil(exactlyOneTrayIcon));
    HWND main = s.kolbrin->window("Form1");
    ASSERT_NE(main, nullptr);
    removeTrayIcon(control(main, app::form1Design(), "picRespond"));
    ASSERT_TRUE(waitUntil([] { return !trayShowsAnIcon(); }, 3s)) << "the icon could not be removed";

    broadcastTaskbarCreated();
    EXPECT_TRUE(waitUntil(exactlyOneTrayIcon, 5s));
    // The shell still holds the icon: the next announcement must not add a second one.
    broadcastTaskbarCreated();
    Sleep(2500);
    EXPECT_TRUE(exactlyOneTrayIcon());
    screenshot("faults-shell-restart");
    EXPECT_EQ(s.showMainWindow(), main);
    EXPECT_EQ(s.kolbrin->messageBox(), nullptr);
}

TEST(Faults, ASettingsFileHeldAtStartIsLeftAsItIs) {
    // Held sharing nothing, and held sharing only deletion, which would let a replace through.
    for (DWORD share : {0ul, static_cast<DWORD>(FILE_SHARE_DELETE)}) {
        Session s(currentTestName() + (share == 0 ? "" : "-delete-only"));
        const std::string file = settingsFile("3", "1", "0");
        s.folder.write("1.dat", file);
        HeldFile hold(s.folder.file("1.dat"), share);
        ASSERT_TRUE(hold.held());
        s.kolbrin = std::make_unique<Kolbrin>(s.folder);
        // It cannot read the file: it says so, runs on the defaults and leaves the file alone.
        HWND box = s.kolbrin->waitForMessageBox();
        ASSERT_NE(box, nullptr) << share;
        EXPECT_TRUE(
            isPlainMessage(box, L"設定ファイルを読み込めませんでした。標準の設定で起動します。", {IDOK}))
            << narrow(messageText(box));
        s.answer(IDOK);
        s.kolbrin->waitIdle();
        EXPECT_TRUE(s.kolbrin->running());
        EXPECT_FALSE(s.folder.exists("1.dat.new")) << share;
        hold.release();
        EXPECT_EQ(s.folder.read("1.dat"), file) << share;
        EXPECT_NE(s.showMainWindow(), nullptr);
    }
}

TEST(Faults, ASettingsFileHeldWhenOkSavesIsLeftAsItIsAndTheChoiceStays) {
    Session s(currentTestName());
    const std::string file = settingsFile("2", "2", "1");
    s.folder.write("1.dat", file);
    s.start();
    HWND main = s.showMainWindow();
    HWND dialog = s.openSettings(main);
    ASSERT_NE(dialog, nullptr);
    const auto& d = settings::form6Design();
    click(control(dialog, d, "Option1", 2));
    ASSERT_TRUE(checked(control(dialog, d, "Option1", 2)));

    HeldFile hold(s.folder.file("1.dat"));
    ASSERT_TRUE(hold.held());
    click(control(dialog, d, "Command1"));
    HWND box = s.kolbrin->waitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(messageText(box).starts_with(kSaveFailedStart)) << narrow(messageText(box));
    screenshot("faults-save-held");
    s.answer(IDOK);
    EXPECT_FALSE(s.folder.exists("1.dat.new"));
    hold.release();
    EXPECT_EQ(s.folder.read("1.dat"), file);

    // The dialog shows the choice still in force.
    HWND again = s.openSettings(main);
    ASSERT_EQ(again, dialog);
    EXPECT_TRUE(checked(control(dialog, d, "Option1", 2)));
    EXPECT_FALSE(checked(control(dialog, d, "Option1", 1)));
}

TEST(Faults, ALogHeldByAnotherProgramLetsTheRunFinish) {
    Session s(currentTestName());
    s.folder.write("1.dat", settingsFile("1", "2", "1"));
    const std::string theirs = "someone else's log\r\n";
    s.folder.write("log.dat", theirs);
    s.start();
    HeldFile hold(s.folder.file("log.dat"));
    ASSERT_TRUE(hold.held());
    HWND main = s.showMainWindow();
    click(control(main, app::form1Design(), "Command1"));
    HWND form4 = s.kolbrin->waitForWindow("Form4", true, 5s);
    ASSERT_NE(form4, nullptr);
    HWND progress = control(form4, optimize::form4Design(), "Label2");
    EXPECT_TRUE(waitUntil([&] { return text(progress) == L"完了"; }, 30s)) << narrow(text(progress));
    EXPECT_EQ(s.kolbrin->messageBox(), nullptr);
    click(control(form4, optimize::form4Design(), "Command1"));
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(main) != FALSE; }, 3s));
    hold.release();
    EXPECT_EQ(s.folder.read("log.dat"), theirs);
}

TEST(Faults, TenLaunchesAtOnceLeaveOneProgramAndAWholeFile) {
    ProgramFolder folder(currentTestName());
    const std::wstring exe = folder.file("Kolbrin.exe");
    // Created suspended and let go together, so that they race for the start-up as far as they can.
    std::vector<PROCESS_INFORMATION> launched;
    for (int i = 0; i < 10; ++i) {
        STARTUPINFOW si{sizeof si};
        PROCESS_INFORMATION pi{};
        std::wstring cmd = L"\"" + exe + L"\"";
        ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                   nullptr, folder.path().c_str(), &si, &pi));
        launched.push_back(pi);
    }
    for (const auto& pi : launched) {
        ResumeThread(pi.hThread);
    }
    auto boxOf = [](const PROCESS_INFORMATION& pi) {
        for (HWND h : topWindows(pi.dwProcessId, L"#32770")) {
            if (IsWindowVisible(h)) {
                return h;
            }
        }
        return HWND{};
    };
    auto running = [](const PROCESS_INFORMATION& pi) {
        return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT;
    };
    auto countBoxes = [&] {
        int n = 0;
        for (const auto& pi : launched) {
            n += boxOf(pi) != nullptr;
        }
        return n;
    };
    EXPECT_TRUE(waitUntil([&] { return countBoxes() == 9; }, 60s)) << countBoxes() << " boxes";
    screenshot("faults-ten-launches");
    const PROCESS_INFORMATION* first = nullptr;
    for (const auto& pi : launched) {
        HWND box = boxOf(pi);
        if (box == nullptr) {
            EXPECT_EQ(first, nullptr) << "two programs without the message";
            first = &pi;
            continue;
        }
        EXPECT_TRUE(isPlainMessage(box, L"既に起動しています。", {IDOK}));
        EXPECT_TRUE(topWindows(pi.dwProcessId, L"Kolbrin.Form1").empty());
    }
    // The boxes lie on top of each other: each press of OK closes the one in front.
    for (int left = countBoxes(); left > 0; --left) {
        HWND box = nullptr;
        for (const auto& pi : launched) {
            if ((box = boxOf(pi)) != nullptr) {
                break;
            }
        }
        click(GetDlgItem(box, IDOK));
        EXPECT_TRUE(waitUntil([&] { return countBoxes() < left; }, 5s));
    }
    for (const auto& pi : launched) {
        if (&pi != first) {
            EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
        }
    }
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(running(*first));
    EXPECT_TRUE(waitUntil(exactlyOneTrayIcon, 5s));
    EXPECT_EQ(folder.read("1.dat"), testing_support::kDefaultFile);
    EXPECT_FALSE(folder.exists("1.dat.new"));

    // The survivor is the program: its icon brings up its main window, and it ends as usual.
    clickAt(trayIconPoint());
    HWND main = nullptr;
    EXPECT_TRUE(waitUntil(
        [&] {
            auto found = topWindows(first->dwProcessId, L"Kolbrin.Form1");
            main = found.empty() || !IsWindowVisible(found.front()) ? nullptr : found.front();
            return main != nullptr;
        },
        5s));
    if (main != nullptr) {
        PostMessageW(main, WM_CLOSE, 0, 0);
    }
    for (const auto& pi : launched) {
        if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) {
            TerminateProcess(pi.hProcess, 1);
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    EXPECT_TRUE(waitUntil([] { return !trayShowsAnIcon(); }, 5s));
}

}  // namespace
