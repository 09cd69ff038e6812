// The optimization run: its workload and run log, its progress display, completion, cancellation, and
// what it does when the program folder will not take the log.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "harness.h"
#include "trace_match.h"

using namespace testing_support;

namespace {

const std::string kLogPath = std::string(kFolder) + "\\log.dat";
const std::string kLogLine = "Data Error none...\r\n";
const std::string kCancelled = "最適化が中断されました。もう一度最適化を行ってください。";
constexpr int kTick = 30;

std::string logOf(int lines) {
    std::string log;
    for (int i = 0; i < lines; ++i) {
        log += kLogLine;
    }
    return log;
}

// A program started with the given settings, its main window shown from the tray and the run started
// from it; the trace starts after the start command.
struct Running : HeadlessApp {
    explicit Running(int level = 0, int scanLevel = 1, int backup = 1,
                     std::function<void(HeadlessApp&)> before = {}) {
        EXPECT_TRUE(start());
        settings::Form6& f6 = program.form6;
        f6.select(f6.control("Option1", level));
        f6.select(f6.control("Option2", scanLevel));
        f6.setValue(f6.control("Check1"), backup);
        if (before) {
            before(*this);
        }
        EXPECT_TRUE(tray(0x201));
        EXPECT_TRUE(menu("aKaishi"));
        clearTrace();
    }
    optimize::Form4& form4() { return program.form4; }
    ui::Control& control(const char* name) { return program.form4.control(name); }
    std::optional<std::string> log() const {
        auto it = files.content.find(kLogPath);
        return it == files.content.end() ? std::nullopt : std::optional(it->second);
    }
    int writes() const { return countOf(trace, "write log.dat"); }
    bool ticks(int n) { return advance(static_cast<long long>(n) * kTick); }
    // The state a run has from its load until its first tick.
    void expectFreshRun() {
        EXPECT_TRUE(form4().loaded());
        EXPECT_EQ(form4().progress, 0);
        EXPECT_EQ(control("Label2").caption, "");
        EXPECT_TRUE(control("Command2").visible);
        EXPECT_FALSE(control("Command1").visible);
        EXPECT_FALSE(control("Command1").enabled);
        EXPECT_TRUE(form4().timer("Timer1").running());
    }
    void expectFinished() {
        EXPECT_EQ(form4().progress, 100);
        EXPECT_EQ(control("Label1").caption, "最適化中……");
        EXPECT_EQ(control("Label2").caption, "完了");
        EXPECT_FALSE(control("Command2").visible);
        EXPECT_TRUE(control("Command1").visible);
        EXPECT_TRUE(control("Command1").enabled);
        EXPECT_FALSE(form4().timer("Timer1").running());
    }
};

struct Workload {
    int level, scanLevel, backup;
    int lines;
    int cyclesPerLine;
};

class Workloads : public ::testing::TestWithParam<Workload> {};

// Only the optimization level sets the work: the scan level and the backup flag are not read.
TEST_P(Workloads, EachTickRewritesTheWholeLogForTheLevel) {
    const Workload& w = GetParam();
    Running app(w.level, w.scanLevel, w.backup, [](HeadlessApp& a) {
        a.files.content[kLogPath] = "left by a run the end of the program cut short";
    });
    for (int tick = 1; tick <= 2; ++tick) {
        ASSERT_TRUE(app.ticks(1));
        std::string log = app.log().value_or("<missing>");
        EXPECT_EQ(log.size(), static_cast<std::size_t>(w.lines) * 20) << "tick " << tick;
        EXPECT_TRUE(log == logOf(w.lines)) << "tick " << tick << ", starts " << log.substr(0, 40);
        // Each cycle adds and takes back the same amount; the loop leaves its counter one past the end.
        EXPECT_EQ(app.form4().workValue, w.cyclesPerLine + 1);
    }
    EXPECT_EQ(app.writes(), 2);
}

INSTANTIATE_TEST_SUITE_P(OptimizationRun, Workloads,
                         ::testing::Values(Workload{0, 1, 1, 400, 250}, Workload{1, 1, 1, 3000, 120},
                                           Workload{2, 1, 1, 25000, 50}, Workload{0, 2, 0, 400, 250},
                                           Workload{1, 0, 0, 3000, 120}, Workload{2, 0, 1, 25000, 50}));

TEST(OptimizationRun, CountsExactlyOneHundredTicksShowingEachAndThenDone) {
    Running app;
    app.expectFreshRun();
    ASSERT_TRUE(app.advance(kTick - 1));
    EXPECT_EQ(app.control("Label2").caption, "");
    EXPECT_EQ(app.writes(), 0);
    ASSERT_TRUE(app.advance(1));
    for (int tick = 1; tick < 100; ++tick) {
        ASSERT_EQ(app.control("Label2").caption, std::to_string(tick) + "％");
        ASSERT_TRUE(app.log().has_value()) << tick;
        ASSERT_TRUE(app.control("Command2").visible);
        ASSERT_TRUE(app.ticks(1));
    }
    app.expectFinished();
    EXPECT_FALSE(app.log().has_value());
    EXPECT_TRUE(inOrder(app.trace, {"write log.dat", "delete log.dat"}));
    EXPECT_EQ(app.trace.back(), "delete log.dat");

    ASSERT_TRUE(app.ticks(50));
    EXPECT_EQ(app.writes(), 100);
    EXPECT_EQ(app.backend.now(), 100 * kTick + 50 * kTick);
    EXPECT_FALSE(app.program.form1.visible());
    EXPECT_TRUE(app.backend.messages().empty());
}

TEST(OptimizationRun, OkClosesTheWindowAndBringsBackTheMainWindow) {
    Running app;
    ASSERT_TRUE(app.ticks(100));
    app.clearTrace();
    ASSERT_TRUE(app.click(app.form4(), "Command1"));
    EXPECT_EQ(app.trace, (headless::Trace{"unload Form4", "show Form1"}));
    EXPECT_TRUE(app.program.form1.visible());
}

TEST(OptimizationRun, CancelSaysSoDeletesTheLogAndClosesLeavingTheMainWindowHidden) {
    Running app;
    ASSERT_TRUE(app.ticks(5));
    app.clearTrace();
    ASSERT_TRUE(app.click(app.form4(), "Command2"));
    EXPECT_EQ(app.trace, (headless::Trace{"message " + kCancelled, "delete log.dat", "unload Form4"}));
    ASSERT_EQ(app.backend.messages().size(), 1u);
    EXPECT_EQ(app.backend.messages()[0].buttons, ui::MessageButtons::Ok);
    EXPECT_FALSE(app.log().has_value());
    EXPECT_FALSE(app.program.form1.visible());
    ASSERT_TRUE(app.ticks(200));
    EXPECT_EQ(app.writes(), 0);
}

// What the program does around the cancellation message: before any log exists, with ticks falling
// due while it is up, and with the user still working other windows meanwhile.
struct CancelCase {
    const char* name;
    int ticksBefore;
    std::function<void(Running&)> whileOpen;
};

void PrintTo(const CancelCase& c, std::ostream* os) {
    *os << c.name;
}

class Cancels : public ::testing::TestWithParam<CancelCase> {};

TEST_P(Cancels, EndInOneClosedWindowAndNoLog) {
    const CancelCase& c = GetParam();
    Running app;
    ASSERT_TRUE(app.ticks(c.ticksBefore));
    int writesBefore = app.writes();
    app.backend.answer(ui::MessageAnswer::Ok, [&] { c.whileOpen(app); });
    ASSERT_TRUE(app.click(app.form4(), "Command2"));
    EXPECT_FALSE(app.backend.ended());
    EXPECT_EQ(app.writes(), writesBefore) << "no tick runs under the message";
    EXPECT_EQ(app.backend.messages().size(), 1u);
    EXPECT_EQ(countOf(app.trace, "unload Form4"), 1);
    EXPECT_EQ(countOf(app.trace, "load Form4"), 0);
    EXPECT_FALSE(app.form4().loaded());
    EXPECT_FALSE(app.log().has_value());
    EXPECT_FALSE(app.program.form1.visible());
}

INSTANTIATE_TEST_SUITE_P(
    OptimizationRun, Cancels,
    ::testing::Values(CancelCase{"beforeTheFirstTick", 0, [](Running&) {}},
                      CancelCase{"longerThanTheRestOfTheRun", 3, [](Running& a) { a.ticks(500); }},
                      CancelCase{"pressedTwice", 3, [](Running& a) { a.click(a.form4(), "Command2"); }},
                      CancelCase{"startPressedAgainFromTheTray", 3,
                                 [](Running& a) {
                                     a.tray(0x201);
                                     a.menu("aKaishi");
                                 }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OptimizationRun, TheLevelIsReadOnceWhenTheWindowLoads) {
    Running app(0);
    ASSERT_TRUE(app.ticks(1));
    ASSERT_TRUE(app.click(app.program.form1, "Command3"));  // the settings dialog, beside the run
    ASSERT_TRUE(app.click(app.program.form6, "Option1", 2));
    ASSERT_TRUE(app.click(app.program.form6, "Command1"));
    ASSERT_TRUE(app.ticks(1));
    EXPECT_EQ(app.log(), logOf(400));
    EXPECT_EQ(app.form4().workValue, 251);
}

TEST(OptimizationRun, StartingAgainDuringTheRunLeavesItRunning) {
    Running app;
    ASSERT_TRUE(app.ticks(40));
    ASSERT_TRUE(app.tray(0x201));
    int activations = app.backend.activations(app.form4());
    ASSERT_TRUE(app.click(app.program.form1, "Command1"));
    EXPECT_EQ(app.backend.activations(app.form4()), activations + 1);
    EXPECT_FALSE(app.program.form1.visible());
    EXPECT_EQ(app.control("Label2").caption, "40％");
    ASSERT_TRUE(app.ticks(200));
    EXPECT_EQ(app.writes(), 100);
    EXPECT_EQ(countOf(app.trace, "load Form4"), 0);
    app.expectFinished();
}

TEST(OptimizationRun, ANewRunAfterOkOrCancelStartsFromTheBeginning) {
    for (const char* button : {"Command1", "Command2"}) {
        Running app;
        app.files.readOnly = true;  // refused in this run; the next one asks again
        ASSERT_TRUE(app.ticks(std::string(button) == "Command1" ? 100 : 7));
        ASSERT_TRUE(app.click(app.form4(), button));
        app.files.readOnly = false;
        ASSERT_TRUE(app.tray(0x201));
        ASSERT_TRUE(app.menu("aKaishi"));
        SCOPED_TRACE(button);
        app.expectFreshRun();
        ASSERT_TRUE(app.ticks(1));
        EXPECT_EQ(app.control("Label2").caption, "1％");
        EXPECT_TRUE(app.log().has_value());
    }
}

TEST(OptimizationRun, EndingTheProgramMidRunLeavesTheLastTicksLog) {
    Running app(1);
    ASSERT_TRUE(app.ticks(12));
    ASSERT_TRUE(app.tray(0x201));
    EXPECT_FALSE(app.menu("aEnd"));
    EXPECT_EQ(app.log(), logOf(3000));
}

// A program folder that will not take the log never ends the program or stops the run: it counts its
// hundred ticks, finishes, and OK and Cancel work as ever; nothing is said about the log.
struct Refusal {
    const char* name;
    std::function<void(headless::Files&)> refuse;
    bool logRemains;
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class Refusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refusals, TheRunStillCountsToItsEnd) {
    const Refusal& r = GetParam();
    for (const char* button : {"Command1", "Command2"}) {
        SCOPED_TRACE(button);
        Running app;
        r.refuse(app.files);
        const bool finish = std::string(button) == "Command1";
        ASSERT_TRUE(app.ticks(finish ? 100 : 10));
        if (finish) {
            app.expectFinished();
        } else {
            EXPECT_EQ(app.control("Label2").caption, "10％");
        }
        ASSERT_TRUE(app.click(app.form4(), button));
        EXPECT_FALSE(app.backend.ended());
        EXPECT_FALSE(app.form4().loaded());
        EXPECT_EQ(app.program.form1.visible(), finish);
        EXPECT_EQ(app.log().has_value(), r.logRemains);
        EXPECT_EQ(app.backend.messages().size(), finish ? 0u : 1u);
        EXPECT_EQ(app.writes(), 1);                          // asked once a run
        EXPECT_EQ(countOf(app.trace, "delete log.dat"), 1);  // the end still tries the delete
    }
}

INSTANTIATE_TEST_SUITE_P(
    OptimizationRun, Refusals,
    ::testing::Values(Refusal{"readOnlyFolder", [](headless::Files& f) { f.readOnly = true; }, false},
                      Refusal{"readOnlyFolderWithAnOldLog",
                              [](headless::Files& f) {
                                  f.content[kLogPath] = "old";
                                  f.readOnly = true;
                              },
                              true},
                      Refusal{"folderNamedLikeTheLog",
                              [](headless::Files& f) { f.directories.insert(kLogPath); }, false},
                      Refusal{"logHeldByAnotherProgram",
                              [](headless::Files& f) {
                                  f.content[kLogPath] = "held";
                                  f.locked.insert(kLogPath);
                              },
                              true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
