// The form runtime's lifecycle, on a small window of its own.
#include <gtest/gtest.h>

#include "harness.h"
#include "platform/headless/headless.h"
#include "trace_match.h"
#include "ui/form.h"

using namespace testing_support;

namespace {

const ui::FormDesign& sampleDesign() {
    using namespace ui;
    static const FormDesign design{
        .name = "Sample",
        .controls =
            {
                {.name = "Label1", .caption = "start"},
                {.name = "Frame1", .kind = ControlKind::Frame},
                {.name = "Opt", .index = 0, .kind = ControlKind::OptionButton, .container = "Frame1"},
                {.name = "Opt",
                 .index = 1,
                 .kind = ControlKind::OptionButton,
                 .container = "Frame1",
                 .value = 1},
                {.name = "Other", .index = 0, .kind = ControlKind::OptionButton, .value = 1},
                {.name = "Check1", .kind = ControlKind::CheckBox},
                {.name = "Command1", .kind = ControlKind::Button, .enabled = false},
            },
        .timers = {{.name = "Timer1", .intervalMs = 100, .enabled = false}},
    };
    return design;
}

class Sample : public ui::Form {
  public:
    explicit Sample(ui::Backend& backend);
    int loads = 0, clicks = 0, ticks = 0;
    bool stopOnTick = false;

    void clicked() { ++clicks; }
    void Timer1_Timer() {
        ++ticks;
        if (stopOnTick) {
            setTimerEnabled(timer("Timer1"), false);
        }
    }

  protected:
    void Form_Load() override {
        ++loads;
        setCaption(control("Label1"), "loaded");  // a load handler may use its own form
    }
};

constexpr ui::Handler kSampleHandlers[] = {
    ui::click<&Sample::clicked>("Opt", 0),     ui::click<&Sample::clicked>("Opt", 1),
    ui::click<&Sample::clicked>("Check1"),     ui::click<&Sample::clicked>("Command1"),
    ui::tick<&Sample::Timer1_Timer>("Timer1"),
};

Sample::Sample(ui::Backend& backend) : Form(backend, sampleDesign(), kSampleHandlers) {}

struct Fixture : ::testing::Test {
    headless::Trace trace;
    headless::Backend backend{trace};
    Sample form{backend};
};

TEST_F(Fixture, FirstUseOfAnyKindLoadsOnceHidden) {
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(form.control("Label1").caption, "loaded");
    form.hide();
    form.show();
    form.show();
    EXPECT_EQ(form.loads, 1);
    EXPECT_EQ(trace, (headless::Trace{"load Sample", "show Sample"}));
    EXPECT_EQ(backend.activations(form), 2);
}

TEST_F(Fixture, UnloadForgetsEveryChangeAndTheNextUseStartsFromTheDesign) {
    form.show();
    form.setCaption(form.control("Label1"), "changed");
    form.select(form.control("Opt", 0));
    form.unload();
    EXPECT_FALSE(form.loaded());
    EXPECT_FALSE(form.visible());
    EXPECT_EQ(form.control("Label1").caption, "loaded");
    EXPECT_TRUE(form.control("Opt", 1).selected());
    EXPECT_FALSE(form.visible());  // reloaded hidden
    EXPECT_EQ(form.loads, 2);
}

TEST_F(Fixture, SelectingAnOptionClearsOnlyItsOwnContainer) {
    form.userClicked(form.control("Opt", 0));
    EXPECT_TRUE(form.control("Opt", 0).selected());
    EXPECT_FALSE(form.control("Opt", 1).selected());
    EXPECT_TRUE(form.control("Other", 0).selected());
    form.userClicked(form.control("Opt", 0));  // again: stays selected
    EXPECT_TRUE(form.control("Opt", 0).selected());
    EXPECT_EQ(form.clicks, 2);
}

TEST_F(Fixture, CheckBoxTogglesAndDisabledControlsIgnoreClicks) {
    form.userClicked(form.control("Check1"));
    EXPECT_EQ(form.control("Check1").value, 1);
    form.userClicked(form.control("Check1"));
    EXPECT_EQ(form.control("Check1").value, 0);
    form.userClicked(form.control("Command1"));
    EXPECT_EQ(form.clicks, 2);
}

TEST_F(Fixture, TimersTickWhileEnabledAndStopWithTheForm) {
    auto& t = form.timer("Timer1");
    form.setTimerEnabled(t, true);
    backend.advance(350);
    EXPECT_EQ(form.ticks, 3);
    form.unload();
    backend.advance(1000);
    EXPECT_EQ(form.ticks, 3);
}

TEST_F(Fixture, ATimerStoppedInsideItsTickDoesNotTickAgain) {
    form.stopOnTick = true;
    form.setTimerEnabled(form.timer("Timer1"), true);
    backend.advance(1000);
    EXPECT_EQ(form.ticks, 1);
}

TEST_F(Fixture, ATimerWithoutIntervalNeverTicks) {
    auto& t = form.timer("Timer1");
    form.setTimerInterval(t, 0);
    form.setTimerEnabled(t, true);
    backend.advance(1000);
    EXPECT_EQ(form.ticks, 0);
    form.setTimerInterval(t, 200);
    backend.advance(1000);
    EXPECT_EQ(form.ticks, 5);
}

TEST_F(Fixture, UnknownControlNamesAreProgrammingErrors) {
    EXPECT_THROW(form.control("Nope"), std::logic_error);
    EXPECT_THROW(form.control("Opt"), std::logic_error);  // an array member needs its index
}

}  // namespace

// A misspelt name in a window's handler table would leave a button dead with nothing to say why: the
// runtime refuses such a table, and every window of the program has one it accepts.
TEST(HandlerTables, NameOnlyWhatTheWindowsDesignHas) {
    HeadlessApp app;
    auto& p = app.program;
    for (const ui::Form* form : std::initializer_list<const ui::Form*>{&p.form1, &p.form2, &p.form3, &p.form4,
                                                                       &p.form6, &p.form7, &p.form10}) {
        EXPECT_FALSE(form->handledNames().empty()) << form->name();
    }
    static constexpr ui::Handler kMisnamed[] = {
        ui::click<&Sample::clicked>("Comand1"),
        ui::click<&Sample::clicked>("Opt"),
        ui::menu<&Sample::clicked>("Check1"),
        ui::tick<&Sample::clicked>("Timer2"),
    };
    for (const ui::Handler& row : kMisnamed) {
        EXPECT_THROW(ui::Form(app.backend, sampleDesign(), {&row, 1}), std::logic_error) << row.name;
    }
}
