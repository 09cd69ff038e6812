// The memory scan: its stages at their ticks, its pace, its end, and how it meets the main window and the
// optimization run.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "cp932_bytes.h"
#include "harness.h"
#include "trace_match.h"

using namespace testing_support;

namespace {

constexpr int kQuick = 200, kNormal = 450, kThorough = 900;

// The stage label over a run, written as the ranges of ticks during which each text is on show.
struct ShownDuring {
    int first, last;
    const char* text;
};
const ShownDuring kStageLabel[] = {
    {1, 2, "スキャン準備中"},
    {3, 7, "メモリ状態チェック"},
    {8, 25, "ウィルス スキャン"},
    {26, 54, "メモリ内異常 スキャン"},
    {55, 60, "データ配置 チェック"},
    {61, 69, "メモリ安定度 チェック"},
    {70, 77, "メモリフォーマット チェック"},
    {78, 90, "OSカーネルデータ スキャン"},
    {91, 97, "総合チェック"},
    {98, 99, "終了準備中"},
    {100, 100, "異常なし"},
};

std::string stageAt(int tick) {
    for (const auto& s : kStageLabel) {
        if (tick >= s.first && tick <= s.last) {
            return s.text;
        }
    }
    return "";
}

// A started program with the given scan level in its settings file ("1" quick to "3" thorough) and the
// main window shown from the tray.
struct Scanning : HeadlessApp {
    explicit Scanning(const char* level = "1") {
        files.content[kSettingsPath] = testing_support::settingsFile("2", level, "1");
        EXPECT_TRUE(start());
        EXPECT_TRUE(tray(0x201));
        clearTrace();
    }
    scan::Form7& form7() { return program.form7; }
    std::string label(const char* name) { return form7().control(name).caption; }
    bool okEnabled() { return form7().control("Command1").enabled; }
    bool ticking() { return form7().timer("Timer1").running(); }
    // Everything of the window that a tick may change.
    std::map<std::string, std::string> looks() {
        std::map<std::string, std::string> out;
        for (const auto& c : form7().controls()) {
            out[c.name()] = c.caption + (c.enabled ? "" : " (disabled)");
        }
        return out;
    }
    void setLevel(int index) { EXPECT_TRUE(click(program.form6, "Option2", index)); }
};

TEST(MemoryScan, NamesEachStageAtItsTickAndOtherwiseOnlyCounts) {
    Scanning app;
    ASSERT_TRUE(app.menu("aMemscan"));
    EXPECT_EQ(app.label("Label2"), "");
    EXPECT_EQ(app.label("Label3"), "");
    EXPECT_EQ(app.label("Label1"), "メモリスキャン中……");
    EXPECT_FALSE(app.okEnabled());

    for (int tick = 1; tick <= 100; ++tick) {
        auto before = app.looks();
        ASSERT_TRUE(app.advance(kQuick));
        auto after = app.looks();
        EXPECT_EQ(app.form7().progress, static_cast<float>(tick));
        EXPECT_EQ(app.label("Label3"), stageAt(tick)) << "tick " << tick;
        EXPECT_EQ(app.label("Label2"), tick < 100 ? std::to_string(tick) + "％" : "完了") << "tick " << tick;
        EXPECT_EQ(app.okEnabled(), tick == 100) << "tick " << tick;
        EXPECT_EQ(app.ticking(), tick < 100) << "tick " << tick;

        // Between stage changes a tick touches the percentage and nothing else.
        if (stageAt(tick) == stageAt(tick - 1) && tick != 100) {
            after["Label2"] = before["Label2"];
            EXPECT_EQ(after, before) << "tick " << tick;
        }
    }

    // No tick 101, however long the finished window stays open.
    auto finished = app.looks();
    ASSERT_TRUE(app.advance(10 * 60 * 1000));
    EXPECT_EQ(app.form7().progress, 100.0f);
    EXPECT_EQ(app.looks(), finished);
    EXPECT_FALSE(app.program.form1.visible());
}

TEST(MemoryScan, TakesItsPaceFromTheLevelAtLoadOnly) {
    struct Case {
        const char* level;
        int intervalMs;
        int changedTo;  // a level chosen in the settings during the run
    };
    for (const Case& c : {Case{"1", kQuick, 2}, Case{"2", kNormal, 0}, Case{"3", kThorough, 0}}) {
        SCOPED_TRACE(c.level);
        Scanning app(c.level);
        ASSERT_TRUE(app.menu("aMemscan"));
        const long long started = app.backend.now();

        ASSERT_TRUE(app.advance(c.intervalMs - 1));
        EXPECT_EQ(app.form7().progress, 0.0f);
        EXPECT_EQ(app.label("Label2"), "");
        ASSERT_TRUE(app.advance(1));
        EXPECT_EQ(app.form7().progress, 1.0f);

        app.setLevel(c.changedTo);
        ASSERT_TRUE(app.advance(98LL * c.intervalMs + c.intervalMs - 1));
        EXPECT_EQ(app.form7().progress, 99.0f);
        EXPECT_FALSE(app.okEnabled());
        ASSERT_TRUE(app.advance(1));
        EXPECT_EQ(app.form7().progress, 100.0f);
        EXPECT_TRUE(app.okEnabled());
        EXPECT_EQ(app.backend.now() - started, 100LL * c.intervalMs);
    }
}

TEST(MemoryScan, OkShowsTheMainWindowAndTheNextRunStartsAfresh) {
    Scanning app;
    ASSERT_TRUE(app.menu("aMemscan"));

    // Before the end the button is disabled and a press does nothing.
    ASSERT_TRUE(app.advance(50 * kQuick));
    ASSERT_TRUE(app.click(app.form7(), "Command1"));
    EXPECT_TRUE(app.form7().loaded());
    EXPECT_FALSE(app.program.form1.visible());

    ASSERT_TRUE(app.advance(50 * kQuick));
    const int activations = app.backend.activations(app.program.form1);
    app.clearTrace();
    ASSERT_TRUE(app.click(app.form7(), "Command1"));
    EXPECT_EQ(app.trace, (headless::Trace{"unload Form7", "show Form1"}));
    EXPECT_FALSE(app.form7().loaded());
    EXPECT_TRUE(app.program.form1.visible());
    EXPECT_EQ(app.backend.activations(app.program.form1), activations + 1);
    ASSERT_TRUE(app.advance(10 * kQuick));
    EXPECT_FALSE(app.form7().loaded());

    // The next run reads the level again and starts from the window's design.
    app.setLevel(2);
    app.clearTrace();
    ASSERT_TRUE(app.menu("aMemscan"));
    EXPECT_TRUE(inOrder(app.trace, {"load Form7", "show Form7", "hide Form1"}));
    EXPECT_EQ(app.form7().progress, 0.0f);
    EXPECT_EQ(app.label("Label2"), "");
    EXPECT_EQ(app.label("Label3"), "");
    EXPECT_FALSE(app.okEnabled());
    ASSERT_TRUE(app.advance(kThorough - 1));
    EXPECT_EQ(app.form7().progress, 0.0f);
    ASSERT_TRUE(app.advance(1));
    EXPECT_EQ(app.label("Label2"), "1％");
    EXPECT_EQ(app.label("Label3"), "スキャン準備中");
}

TEST(MemoryScan, StartWhileLoadedKeepsTheRunAndHidesTheMainWindowAgain) {
    struct Case {
        const char* name;
        int ticksBefore;
        bool viaButton;
    };
    for (const Case& c : {Case{"running, menu", 30, false}, Case{"running, button", 30, true},
                          Case{"finished, menu", 100, false}, Case{"finished, button", 100, true}}) {
        SCOPED_TRACE(c.name);
        Scanning app;
        ASSERT_TRUE(app.menu("aMemscan"));
        ASSERT_TRUE(app.advance(c.ticksBefore * kQuick + kQuick / 2));
        ASSERT_EQ(app.form7().progress, static_cast<float>(c.ticksBefore));
        const auto looks = app.looks();
        const int activations = app.backend.activations(app.form7());
        ASSERT_TRUE(app.tray(0x201));
        app.setLevel(2);
        app.clearTrace();

        ASSERT_TRUE(c.viaButton ? app.click(app.program.form1, "Command2") : app.menu("aMemscan"));
        EXPECT_EQ(countOf(app.trace, "load Form7"), 0);
        EXPECT_EQ(countOf(app.trace, "hide Form1"), 1);
        EXPECT_FALSE(app.program.form1.visible());
        EXPECT_EQ(app.backend.activations(app.form7()), activations + 1);
        EXPECT_EQ(app.looks(), looks);

        // The run goes on at its old pace: the next tick is due half an interval later.
        ASSERT_TRUE(app.advance(kQuick / 2 - 1));
        EXPECT_EQ(app.form7().progress, static_cast<float>(c.ticksBefore));
        ASSERT_TRUE(app.advance(1 + std::max(0, 99 - c.ticksBefore) * kQuick));
        EXPECT_EQ(app.form7().progress, 100.0f);
        EXPECT_TRUE(app.okEnabled());
    }
}

// The question's No with no scan loaded is covered with the main window's commands; here a run is on.
TEST(MemoryScan, QuestionAnsweredNoLeavesTheRunningScanAlone) {
    Scanning app;
    ASSERT_TRUE(app.menu("aMemscan"));
    ASSERT_TRUE(app.advance(10 * kQuick));
    ASSERT_TRUE(app.tray(0x201));
    const int activations = app.backend.activations(app.form7());
    app.clearTrace();
    app.backend.answer(ui::MessageAnswer::No);
    ASSERT_TRUE(app.click(app.program.form1, "Command2"));
    EXPECT_EQ(app.trace.size(), 1u) << ::testing::PrintToString(app.trace);
    EXPECT_TRUE(app.program.form1.visible());
    EXPECT_EQ(app.backend.activations(app.form7()), activations);
    EXPECT_EQ(app.form7().progress, 10.0f);
    ASSERT_TRUE(app.advance(90 * kQuick));
    EXPECT_EQ(app.form7().progress, 100.0f);
}

TEST(MemoryScan, RunsAlongsideAnOptimization) {
    struct Case {
        const char* name;
        bool optimizationFirst;
    };
    for (const Case& c : {Case{"optimization, then scan", true}, Case{"scan, then optimization", false}}) {
        SCOPED_TRACE(c.name);
        Scanning app;
        ASSERT_TRUE(app.menu(c.optimizationFirst ? "aKaishi" : "aMemscan"));
        ASSERT_TRUE(app.advance(10 * kQuick));
        ASSERT_TRUE(app.tray(0x201));
        ASSERT_TRUE(app.menu(c.optimizationFirst ? "aMemscan" : "aKaishi"));
        EXPECT_FALSE(app.program.form1.visible());
        ASSERT_TRUE(app.program.form4.loaded());
        const long long scanStarted = c.optimizationFirst ? app.backend.now() : 0;

        for (int tick = c.optimizationFirst ? 1 : 11; tick <= 100; ++tick) {
            ASSERT_TRUE(app.advance(kQuick));
            ASSERT_EQ(app.form7().progress, static_cast<float>(tick));
            ASSERT_EQ(app.label("Label3"), stageAt(tick));
        }
        EXPECT_EQ(app.backend.now() - scanStarted, 100LL * kQuick);
        EXPECT_TRUE(app.program.form4.loaded());

        ASSERT_TRUE(app.click(app.form7(), "Command1"));
        EXPECT_TRUE(app.program.form1.visible());
        EXPECT_TRUE(app.program.form4.visible());
    }
}

}  // namespace
