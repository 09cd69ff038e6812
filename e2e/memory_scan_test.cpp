// The memory scan on the real program: its stages as the window shows them, its length, OK.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/form1.h"
#include "cp932_bytes.h"
#include "e2e/design_lookup.h"
#include "e2e/session.h"
#include "scan/form7.h"

using namespace e2e;
using Clock = std::chrono::steady_clock;

namespace {

// Each stage text with the first tick that shows it; the last row is the result.
struct Stage {
    int from;
    const wchar_t* text;
};
const Stage kStages[] = {
    {1, L"スキャン準備中"},
    {3, L"メモリ状態チェック"},
    {8, L"ウィルス スキャン"},
    {26, L"メモリ内異常 スキャン"},
    {55, L"データ配置 チェック"},
    {61, L"メモリ安定度 チェック"},
    {70, L"メモリフォーマット チェック"},
    {78, L"OSカーネルデータ スキャン"},
    {91, L"総合チェック"},
    {98, L"終了準備中"},
    {100, L"異常なし"},
};

std::wstring stageAt(int tick) {
    std::wstring text;
    for (const auto& s : kStages) {
        if (tick >= s.from) {
            text = s.text;
        }
    }
    return text;
}

// What the scan window showed, each change with its time since the window first appeared.
struct Seen {
    double ms;
    std::wstring stage, percent;
    bool okEnabled;
};

struct Watch {
    std::vector<Seen> changes;
    Clock::time_point appeared{};
    bool finished = false;
    double length() const { return changes.empty() ? 0 : changes.back().ms; }
};

// Watches the scan window from another thread, so that nothing the test does with the input (each
// step of which waits a little) hides the moment the window appears or a tick.
class Watcher {
  public:
    explicit Watcher(const Kolbrin& kolbrin) : thread_([this, &kolbrin] { run(kolbrin); }) {}
    ~Watcher() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    // Waits for the end of the run (or the watcher giving up) and hands over what it saw.
    Watch result() {
        thread_.join();
        return watch_;
    }
    HWND window() const { return window_; }
    int ticksSeen() const { return ticks_; }

  private:
    // One WM_GETTEXT into a buffer of its own: asking for the length first races with a tick that
    // lengthens the text in between ("9％" to "10％").
    static std::wstring caption(HWND control) {
        wchar_t buffer[256] = {};
        SendMessageW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }
    // The labels are read one after the other, and a tick may come between two reads: read until two
    // rounds agree.
    Seen stableLook(HWND form) const {
        const auto& design = scan::form7Design();
        auto look = [&] {
            return Seen{std::chrono::duration<double, std::milli>(Clock::now() - watch_.appeared).count(),
                        caption(control(form, design, "Label3")), caption(control(form, design, "Label2")),
                        IsWindowEnabled(control(form, design, "Command1")) != FALSE};
        };
        Seen previous = look();
        for (;;) {
            Seen next = look();
            if (next.stage == previous.stage && next.percent == previous.percent &&
                next.okEnabled == previous.okEnabled) {
                next.ms = previous.ms;
                return next;
            }
            previous = next;
        }
    }

    void run(const Kolbrin& kolbrin) {
        auto giveUp = Clock::now() + std::chrono::seconds(150);
        while (!stop_ && Clock::now() < giveUp) {
            HWND form = window_;
            if (form == nullptr) {
                form = kolbrin.window("Form7");
                if (form == nullptr || !IsWindowVisible(form)) {
                    Sleep(1);
                    continue;
                }
                watch_.appeared = Clock::now();
                window_ = form;
            }
            Seen now = stableLook(form);
            if (watch_.changes.empty() || watch_.changes.back().stage != now.stage ||
                watch_.changes.back().percent != now.percent ||
                watch_.changes.back().okEnabled != now.okEnabled) {
                watch_.changes.push_back(now);
                ++ticks_;
            }
            if (now.percent == L"完了") {
                watch_.finished = true;
                break;
            }
            Sleep(2);
        }
        stop_ = true;
    }

    std::atomic<bool> stop_ = false;
    std::atomic<HWND> window_ = nullptr;
    std::atomic<int> ticks_ = 0;
    Watch watch_;
    std::thread thread_;
};

// Checks what the watcher saw against the schedule. Every sight is checked, but a watcher that the
// system kept waiting may miss a count: each stage lasts at least two ticks, so no stage may be missed.
void expectAWholeRun(const Watch& w) {
    ASSERT_TRUE(w.finished);
    ASSERT_FALSE(w.changes.empty());
    // Before the first tick both labels are blank.
    EXPECT_EQ(w.changes.front().stage, L"");
    EXPECT_EQ(w.changes.front().percent, L"");
    EXPECT_FALSE(w.changes.front().okEnabled);

    std::vector<std::wstring> stages;
    int lastTick = 0, missed = 0;
    for (std::size_t i = 1; i < w.changes.size(); ++i) {
        const Seen& c = w.changes[i];
        int tick = c.percent == L"完了" ? 100 : _wtoi(c.percent.c_str());
        ASSERT_EQ(c.percent, tick == 100 ? std::wstring(L"完了") : std::to_wstring(tick) + L"％");
        ASSERT_GT(tick, lastTick) << narrow(c.percent);
        missed += tick - lastTick - 1;
        lastTick = tick;
        EXPECT_EQ(c.stage, stageAt(tick)) << "at " << narrow(c.percent);
        EXPECT_EQ(c.okEnabled, tick == 100) << "at " << narrow(c.percent);
        if (stages.empty() || stages.back() != c.stage) {
            stages.push_back(c.stage);
        }
    }
    EXPECT_EQ(lastTick, 100);
    std::vector<std::wstring> all;
    for (const auto& s : kStages) {
        all.push_back(s.text);
    }
    EXPECT_EQ(stages, all);
    if (missed > 0) {
        std::printf("the watcher missed %d of the 100 counts\n", missed);
    }
}

// Starts a scan with `start`, watches it to the end, checks it, then presses OK: with the mouse, or
// with Enter (OK, enabled at the end, takes the focus that no control could hold before).
void scanAndPressOk(Session& s, HWND main, const std::function<void()>& start, double intervalMs,
                    const std::string& shotPrefix, bool withEnter = false) {
    Watcher watcher(*s.kolbrin);
    start();
    ASSERT_TRUE(waitUntil([&] { return watcher.window() != nullptr; }, 5s));
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }, 3s));
    // A bare window in the middle of the screen: no caption, no frame, the client area its whole size.
    HWND form7 = watcher.window();
    EXPECT_FALSE(GetWindowLongW(form7, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
    SIZE client = clientSize(form7);
    const SIZE design = atScreenDpi({258, 160}, {323, 200}, {387, 240});
    EXPECT_EQ(client.cx, design.cx);
    EXPECT_EQ(client.cy, design.cy);
    RECT r;
    GetWindowRect(form7, &r);
    EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    ASSERT_TRUE(waitUntil([&] { return watcher.ticksSeen() > 30; }, 60s));
    screenshot(shotPrefix + "-running");
    Watch w = watcher.result();
    expectAWholeRun(w);

    const double expected = 100 * intervalMs;
    std::printf("scan at %.0f ms a tick: 100 ticks took %.0f ms (expected %.0f ms, %+.2f %%)\n", intervalMs,
                w.length(), expected, 100 * (w.length() - expected) / expected);
    ::testing::Test::RecordProperty("runLengthMs", static_cast<int>(w.length()));
    EXPECT_NEAR(w.length(), expected, expected * 0.02);

    SetForegroundWindow(form7);
    Sleep(300);
    screenshot(shotPrefix + "-finished");
    HWND ok = control(form7, scan::form7Design(), "Command1");
    if (withEnter) {
        EXPECT_EQ(focusIn(form7), ok);
        pressKey(VK_RETURN);
    } else {
        click(ok);
    }
    EXPECT_TRUE(waitUntil([&] { return s.kolbrin->window("Form7") == nullptr; }, 5s));
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(main) != FALSE; }, 5s));
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == main; }, 3s));
}

TEST(MemoryScan, QuickScanFromTheMenuRunsItsStagesInTwentySeconds) {
    Session s(currentTestName());
    s.folder.write("1.dat", testing_support::settingsFile("2", "1", "1"));
    s.start();
    HWND main = s.showMainWindow();
    ASSERT_NE(main, nullptr);
    scanAndPressOk(
        s, main, [&] { chooseMenu(main, 'S', 1); }, 200, "scan-quick", true);  // メモリスキャン(&C)
    EXPECT_EQ(s.kolbrin->messageBox(), nullptr);
}

TEST(MemoryScan, NormalScanFromTheButtonAfterYesTakesFortyFiveSeconds) {
    Session s(currentTestName());
    s.start();  // the default settings: the normal scan level
    HWND main = s.showMainWindow();
    ASSERT_NE(main, nullptr);
    scanAndPressOk(
        s, main,
        [&] {
            click(control(main, app::form1Design(), "Command2"));
            s.answer(IDYES);
        },
        450, "scan-normal");
}

}  // namespace
