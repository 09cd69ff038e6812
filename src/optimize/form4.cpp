#include "optimize/form4.h"

#include "app/program.h"

namespace optimize {

namespace {

constexpr const char* kLogLine = "Data Error none...";
constexpr std::int32_t kWorkAddend = 65468543;
constexpr float kTicksInRun = 100;

// The log lines of each tick and the work cycles of each line, for each optimization level (Option1
// index): quick, normal, thorough.
struct Level {
    float lineCount;
    std::int16_t cycleCount;
};
constexpr Level kLevels[] = {{400, 250}, {3000, 120}, {25000, 50}};

constexpr ui::Handler kHandlers[] = {
    ui::click<&Form4::Command1_Click>("Command1"),
    ui::click<&Form4::Command2_Click>("Command2"),
    ui::tick<&Form4::Timer1_Timer>("Timer1"),
};

}  // namespace

Form4::Form4(app::Program& program) : Form(program.backend, form4Design(), kHandlers), program_(program) {}

std::string Form4::logPath() const {
    return program_.AppPath + kLogFileName;
}

void Form4::Form_Load() {
    cancelling_ = false;
    logRefused_ = false;
    setControlVisible(control("Command1"), false);
    progress = 0;
    // The level is taken once, here: changing the settings while the window is open changes nothing
    // in this run.
    const Level& level = kLevels[program_.form6.selectedIndex("Option1")];
    lineCount = level.lineCount;
    cycleCount = level.cycleCount;
    setTimerEnabled(timer("Timer1"), true);
}

void Form4::Timer1_Timer() {
    progress = progress + 1;
    logLine = kLogLine;
    // The tick's log is gathered in memory and handed over in one write that truncates the file, so
    // the file is opened and closed once per tick, as a line-by-line write would, at a fraction of the
    // calls. The buffer is kept from tick to tick: a thorough tick's half megabyte would otherwise be
    // mapped and faulted in anew every time.
    const std::string line = logLine + "\r\n";
    logBytes_.clear();
    logBytes_.reserve(static_cast<std::size_t>(lineCount) * line.size());
    for (int lineNumber = 1; lineNumber <= lineCount; ++lineNumber) {
        logBytes_ += line;
        workValue = 1;
        while (workValue <= cycleCount) {
            workValue = workValue + kWorkAddend;
            workValue = workValue - kWorkAddend;
            workValue = workValue + 1;
        }
    }
    // Nothing reads the log: a folder that refuses it (read-only, full, a folder or a locked file by
    // that name) costs the run only the file, and the run counts on to its end. It is not asked again in
    // this run: a protected folder (Documents under controlled folder access) raises a security
    // notification for every refused write.
    if (!logRefused_) {
        logRefused_ = !program_.files.write(logPath(), logBytes_);
    }
    if (progress != kTicksInRun) {
        setCaption(control("Label2"), std::to_string(static_cast<int>(progress)) + "％");
    }
    if (progress == kTicksInRun) {
        setCaption(control("Label2"), "完了");
        setControlVisible(control("Command2"), false);
        setControlVisible(control("Command1"), true);
        setTimerEnabled(timer("Timer1"), false);
        setEnabled(control("Command1"), true);
        program_.files.remove(logPath());
    }
}

void Form4::Command1_Click() {
    unload();
    program_.form1.setVisible(true);
}

void Form4::Command2_Click() {
    // While the message is up, the window stays loaded but still, so the run cannot finish (and delete
    // the log) behind it. A second Cancel meanwhile is the same request: acting on it would unload the
    // window under the first one, and the first would then delete and unload whatever run came next.
    if (cancelling_) {
        return;
    }
    cancelling_ = true;
    setTimerEnabled(timer("Timer1"), false);
    program_.backend.messageBox(kCancelledMessage, ui::MessageButtons::Ok);
    // Before the first tick there is no log yet; the failed delete then simply has nothing to do.
    program_.files.remove(logPath());
    unload();
}

}  // namespace optimize
