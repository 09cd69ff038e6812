#include "scan/form7.h"

#include <string>

#include "app/program.h"

namespace scan {

namespace {

constexpr float kLastTick = 100;

// The length of a tick for each scan level (Option2 index): quick, normal, thorough.
constexpr int kIntervalMs[] = {200, 450, 900};

struct Stage {
    float tick;
    const char* text;
};

// Each stage is named at its tick and stays until the next one; the blanks are half-width.
constexpr Stage kStages[] = {
    {1, "スキャン準備中"},
    {3, "メモリ状態チェック"},
    {8, "ウィルス スキャン"},
    {26, "メモリ内異常 スキャン"},
    {55, "データ配置 チェック"},
    {61, "メモリ安定度 チェック"},
    {70, "メモリフォーマット チェック"},
    {78, "OSカーネルデータ スキャン"},
    {91, "総合チェック"},
    {98, "終了準備中"},
};

constexpr const char* kResult = "異常なし";
constexpr const char* kDone = "完了";
constexpr const char* kPercentSign = "％";

constexpr ui::Handler kHandlers[] = {
    ui::click<&Form7::Command1_Click>("Command1"),
    ui::tick<&Form7::Timer1_Timer>("Timer1"),
};

}  // namespace

Form7::Form7(app::Program& program) : Form(program.backend, form7Design(), kHandlers), program_(program) {}

void Form7::Form_Load() {
    progress = 0;
    // The level is read here only: changing it in the settings during a run does not touch the run.
    ui::Timer& timer1 = timer("Timer1");
    setTimerInterval(timer1, kIntervalMs[program_.form6.selectedIndex("Option2")]);
    setTimerEnabled(timer1, true);
}

void Form7::Timer1_Timer() {
    progress += 1;
    if (progress == kLastTick) {
        setTimerEnabled(timer("Timer1"), false);
        setEnabled(control("Command1"), true);
    }
    for (const Stage& stage : kStages) {
        if (progress == stage.tick) {
            setCaption(control("Label3"), stage.text);
        }
    }
    if (progress == kLastTick) {
        setCaption(control("Label2"), kDone);
        setCaption(control("Label3"), kResult);
    } else {
        setCaption(control("Label2"), std::to_string(static_cast<int>(progress)) + kPercentSign);
    }
}

void Form7::Command1_Click() {
    unload();
    program_.form1.show();
}

}  // namespace scan
