// Long use: every window opened and closed again and again, optimization runs and quick scans, while the
// program's top-level windows and private bytes are watched. The test command runs a few cycles and checks
// that no window is left behind; scripts/soak.sh sets KOLBRIN_SOAK_CYCLES (and KOLBRIN_SOAK_RUNS,
// KOLBRIN_SOAK_SCANS) for the long version, which also holds the memory to a level after the warm-up.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "app/form1.h"
#include "cp932_bytes.h"
#include "e2e/design_lookup.h"
#include "e2e/session.h"
#include "optimize/form4.h"
#include "scan/form7.h"
#include "settings/form6.h"

using namespace e2e;

namespace {

int setting(const char* name, int otherwise) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : otherwise;
}

// Entries of the menus, separators not counted.
constexpr int kScanEntry = 1;                                                        // 操作(&S)
constexpr int kFeatureVersionsEntry = 1, kTechnologyListEntry = 2, kAboutEntry = 4;  // その他(&T)

struct Workload {
    Session& s;
    HWND main;

    bool infoWindow(const char* form, int entry) {
        chooseMenu(main, 'T', entry);
        HWND window = s.kolbrin->waitForWindow(form);
        if (window == nullptr) {
            return false;
        }
        waitUntil([&] { return GetForegroundWindow() == window; }, 3s);
        pressKey(VK_RETURN);
        return waitUntil([&] { return !IsWindow(window); });
    }
    bool settingsDialog() {
        HWND dialog = s.openSettings(main);
        if (dialog == nullptr) {
            return false;
        }
        click(control(dialog, settings::form6Design(), "Command1"));
        return waitUntil([&] { return !IsWindowVisible(dialog); });
    }
    bool optimizationRun() {
        click(control(main, app::form1Design(), "Command1"));
        HWND form4 = s.kolbrin->waitForWindow("Form4", true, 5s);
        if (form4 == nullptr ||
            !waitUntil([&] { return text(control(form4, optimize::form4Design(), "Label2")) == L"完了"; },
                       60s)) {
            return false;
        }
        click(control(form4, optimize::form4Design(), "Command1"));
        return waitUntil([&] { return !IsWindow(form4) && IsWindowVisible(main); });
    }
    bool quickScan() {
        chooseMenu(main, 'S', kScanEntry);
        HWND form7 = s.kolbrin->waitForWindow("Form7", true, 5s);
        // OK stays in view, disabled, until the scan is over.
        HWND ok = form7 == nullptr ? nullptr : control(form7, scan::form7Design(), "Command1");
        if (ok == nullptr || !waitUntil([&] { return IsWindowEnabled(ok) != FALSE; }, 60s)) {
            return false;
        }
        SetForegroundWindow(form7);
        Sleep(200);
        click(ok);
        return waitUntil([&] { return !IsWindow(form7) && IsWindowVisible(main); });
    }

    // One share of the whole: `cycles` of each window, then the runs and the scans.
    void round(int cycles, int runs, int scans) {
        for (int i = 0; i < cycles; ++i) {
            ASSERT_TRUE(infoWindow("Form3", kAboutEntry)) << "About, cycle " << i;
            ASSERT_TRUE(infoWindow("Form10", kFeatureVersionsEntry)) << "feature versions, cycle " << i;
            ASSERT_TRUE(infoWindow("Form2", kTechnologyListEntry)) << "technology list, cycle " << i;
            ASSERT_TRUE(settingsDialog()) << "settings, cycle " << i;
        }
        for (int i = 0; i < runs; ++i) {
            ASSERT_TRUE(optimizationRun()) << "run " << i;
        }
        for (int i = 0; i < scans; ++i) {
            ASSERT_TRUE(quickScan()) << "scan " << i;
        }
    }
};

TEST(LongUse, EveryWindowOpenedAndClosedAgainLeavesNoWindowBehind) {
    const int cycles = setting("KOLBRIN_SOAK_CYCLES", 2);
    const int runs = setting("KOLBRIN_SOAK_RUNS", 1);
    const int scans = setting("KOLBRIN_SOAK_SCANS", 0);
    const bool soak = std::getenv("KOLBRIN_SOAK_CYCLES") != nullptr;

    Session s(currentTestName());
    // The quick levels, so that a run and a scan take seconds.
    s.folder.write("1.dat", testing_support::settingsFile("1", "1", "1"));
    s.start();
    HWND main = s.showMainWindow();
    ASSERT_NE(main, nullptr);
    Workload work{s, main};
    const DWORD pid = s.kolbrin->pid();

    struct Sample {
        SIZE_T bytes;
        int windows;
    };
    auto sample = [&](const char* when) {
        Sample now{privateBytes(pid), topWindowCount(pid)};
        std::printf("%-10s private bytes %9zu (%7.1f KB), top-level windows %d\n", when,
                    static_cast<std::size_t>(now.bytes), now.bytes / 1024.0, now.windows);
        std::fflush(stdout);
        return now;
    };
    // The work in four shares; the first is the warm-up, after which nothing may keep growing.
    const Sample atStart = sample("start");
    work.round(cycles / 4 + cycles % 4, runs / 4 + runs % 4, scans / 4 + scans % 4);
    const Sample warm = sample("warmed up");
    EXPECT_EQ(warm.windows, atStart.windows);
    for (int share = 1; share < 4 && !HasFatalFailure(); ++share) {
        work.round(cycles / 4, runs / 4, scans / 4);
        sample("progress");
    }
    ASSERT_FALSE(HasFatalFailure());
    const Sample atEnd = sample("end");
    EXPECT_EQ(atEnd.windows, atStart.windows);
    const long long growth = static_cast<long long>(atEnd.bytes) - static_cast<long long>(warm.bytes);
    std::printf("growth after the warm-up: %+lld bytes (%+.1f KB)\n", growth, growth / 1024.0);
    if (soak) {
        EXPECT_GT(atStart.bytes, 0u) << "the private bytes cannot be read";
        EXPECT_LT(growth, 256 * 1024);
    }
    EXPECT_TRUE(s.kolbrin->running());
    EXPECT_EQ(s.kolbrin->messageBox(), nullptr);
}

}  // namespace
