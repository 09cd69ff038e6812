// Form4: the optimization run's progress window. It counts 100 ticks of its timer; each tick rewrites
// the run log log.dat in the program folder and does the level's work cycles, and the last one deletes
// the log and offers OK in place of Cancel.
#pragma once

#include <cstdint>
#include <string>

#include "ui/form.h"

namespace app {
class Program;
}

namespace optimize {

const ui::FormDesign& form4Design();

inline constexpr const char* kLogFileName = "log.dat";
inline constexpr const char* kCancelledMessage = "最適化が中断されました。もう一度最適化を行ってください。";

class Form4 : public ui::Form {
  public:
    explicit Form4(app::Program& program);

    float progress = 0;   // ticks done in this run
    float lineCount = 0;  // run-log lines at each tick
    // The work cycles count this up and down; volatile so that every add and subtract really happens
    // in memory instead of being folded away as the no-op it is.
    volatile std::int32_t workValue = 0;
    std::string logLine;
    std::int16_t cycleCount = 0;  // work cycles for each log line

    void Timer1_Timer();
    void Command1_Click();
    void Command2_Click();

  protected:
    void Form_Load() override;

  private:
    std::string logPath() const;

    app::Program& program_;
    bool cancelling_ = false;  // the cancellation message is up
    bool logRefused_ = false;  // the folder refused the log in this run: it is not asked again
    std::string logBytes_;     // the run log as the current tick writes it
};

}  // namespace optimize
