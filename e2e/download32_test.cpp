// The 32-bit download, which these machines can only run under emulation: scripts/test32.sh unpacks it
// and names it in KOLBRIN_E2E_DOWNLOAD32 (elsewhere these steps are skipped). A 32-bit build can fail
// where the 64-bit one cannot (structure layouts, calling conventions of callbacks and of functions
// looked up at run time, stack alignment in callbacks, the runtime's start-up), and every start costs
// minutes under emulation: so one program is started once and taken through a short path that crosses
// each of those places, one step per test, in order.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <memory>
#include <string>

#include "app/form1.h"
#include "cp932_bytes.h"
#include "e2e/design_lookup.h"
#include "e2e/session.h"
#include "info/info_window.h"
#include "optimize/form4.h"
#include "settings/form6.h"

using namespace e2e;

namespace {

constexpr int kAboutEntry = 4;  // in the menu "その他(&T)", separators not counted

// The tray icon's tip is shown by the taskbar's process, not by the program.
bool trayTipShows(const std::wstring& tip) {
    struct Args {
        const std::wstring& tip;
        bool found;
    } args{tip, false};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* a = reinterpret_cast<Args*>(lp);
            wchar_t cls[64];
            GetClassNameW(h, cls, 64);
            a->found =
                a->found || (IsWindowVisible(h) && std::wstring(cls) == TOOLTIPS_CLASSW && text(h) == a->tip);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&args));
    return args.found;
}

class Download32 : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        wchar_t zip[MAX_PATH] = {};
        DWORD n = GetEnvironmentVariableW(L"KOLBRIN_E2E_DOWNLOAD32", zip, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            std::wstring path = L"Z:" + std::wstring(zip);
            for (wchar_t& c : path) {
                c = c == L'/' ? L'\\' : c;
            }
            session = std::make_unique<Session>("Download32", path);
        }
    }
    static void TearDownTestSuite() { session.reset(); }
    void SetUp() override {
        if (!session) {
            GTEST_SKIP() << "the 32-bit download runs only under scripts/test32.sh";
        }
    }
    static HWND main() { return session->kolbrin ? session->kolbrin->window("Form1") : nullptr; }

    static std::unique_ptr<Session> session;
};

std::unique_ptr<Session> Download32::session;

TEST_F(Download32, StartsFromItsFolderWithTheTrayIconAndItsTip) {
    Session& s = *session;
    ASSERT_TRUE(s.folder.exists("palvo.hlp"));
    ASSERT_FALSE(s.folder.exists("1.dat"));
    s.start();
    ASSERT_TRUE(s.kolbrin->running());
    ASSERT_TRUE(waitUntil([] { return trayShowsAnIcon(); })) << "no tray icon";
    EXPECT_TRUE(waitUntil([&] { return s.folder.read("1.dat") == testing_support::kDefaultFile; }));
    moveTo(POINT{trayIconPoint().x - 40, trayIconPoint().y});
    moveTo(trayIconPoint());
    EXPECT_TRUE(waitUntil([] { return trayTipShows(L"Kolbrin"); })) << "the tray icon shows no tip";
    screenshot("32bit-tray-tip");
}

TEST_F(Download32, APressOnTheIconShowsTheMainWindow) {
    HWND main = session->showMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(text(main), L"Kolbrin Ver.1.20");
    EXPECT_EQ(text(control(main, app::form1Design(), "Command5")), L"終了する");
    screenshot("32bit-main-window");
}

TEST_F(Download32, TheSettingsDialogSavesTheChangedOption) {
    Session& s = *session;
    HWND dialog = s.openSettings(main());
    ASSERT_NE(dialog, nullptr);
    const auto& d = settings::form6Design();
    click(control(dialog, d, "Option1", 0));  // the quick level, for the run that follows
    EXPECT_TRUE(waitUntil([&] { return checked(control(dialog, d, "Option1", 0)); }));
    screenshot("32bit-settings-changed");
    click(control(dialog, d, "Command1"));
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(dialog); }));
    EXPECT_TRUE(waitUntil([&] {
        return s.folder.read("1.dat") == testing_support::settingsFile("1", "2", "1");
    })) << "1.dat holds "
        << s.folder.read("1.dat").value_or("nothing").size() << " bytes";
}

TEST_F(Download32, AQuickRunFinishesAndRemovesItsLog) {
    Session& s = *session;
    click(control(main(), app::form1Design(), "Command1"));
    HWND form4 = s.kolbrin->waitForWindow("Form4");
    ASSERT_NE(form4, nullptr) << "the progress window did not appear";
    auto part = [&](const char* name) { return control(form4, optimize::form4Design(), name); };
    EXPECT_TRUE(waitUntil([&] { return text(part("Label2")).ends_with(L"％"); }));
    EXPECT_TRUE(waitUntil([&] { return s.folder.exists("log.dat"); }, 3s)) << "no run log";
    ASSERT_TRUE(waitUntil([&] { return text(part("Label2")) == L"完了"; }, 60s))
        << narrow(text(part("Label2")));
    EXPECT_FALSE(s.folder.exists("log.dat"));
    screenshot("32bit-optimization-done");
    click(part("Command1"));
    EXPECT_TRUE(waitUntil([&] { return !s.kolbrin->visible("Form4"); }));
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(main()); }));
}

TEST_F(Download32, TheAboutWindowShowsTheVersion) {
    Session& s = *session;
    chooseMenu(main(), 'T', kAboutEntry);
    HWND about = s.kolbrin->waitForWindow("Form3");
    ASSERT_NE(about, nullptr) << "no About window";
    EXPECT_EQ(text(control(about, info::form3Design(), "Label2")), L"Version.1.20");
    screenshot("32bit-about");
    click(control(about, info::form3Design(), "Command1"));
    EXPECT_TRUE(waitUntil([&] { return !s.kolbrin->visible("Form3"); }));
}

TEST_F(Download32, ExitEndsTheProgramAndRemovesTheIcon) {
    Session& s = *session;
    HWND main = Download32::main();
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(main); }));
    click(control(main, app::form1Design(), "Command5"));
    EXPECT_TRUE(s.kolbrin->waitForExit());
    EXPECT_EQ(s.kolbrin->exitCode(), 0u);
    EXPECT_TRUE(waitUntil([] { return !trayShowsAnIcon(); }, 3s));
    screenshot("32bit-ended");
}

}  // namespace
