// One tick of the optimization run per level: the real Form4, driven by its timer through the form
// runtime and writing a real file, against the least a tick could cost, the same volatile work cycles
// and the same bytes handed to the file in one buffered write. A thorough tick holds the user interface
// for its whole length, so its time is the worst delay a click waits for during a run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "app/program.h"
#include "platform/headless/headless.h"
#include "real_files.h"

namespace {

struct Level {
    int lines;
    std::int16_t cycles;
};
constexpr Level kLevels[] = {{400, 250}, {3000, 120}, {25000, 50}};
constexpr std::int32_t kWorkAddend = 65468543;

void form4Tick(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    bench_support::TemporaryFolder folder;
    headless::Trace trace;
    headless::Backend backend(trace);
    bench_support::RealFiles files;
    headless::Shell shell(trace);
    shell.folder = folder.path();
    app::Program program(backend, files, shell);
    program.start();
    program.form6.select(program.form6.control("Option1", level));
    program.form4.show();

    for (auto _ : state) {
        // A run lasts 100 ticks and its last one is different; start a new run before it comes.
        if (program.form4.progress == 99) {
            state.PauseTiming();
            program.form4.unload();
            trace.clear();
            program.form4.show();
            state.ResumeTiming();
        }
        backend.advance(30);
    }
    if (program.form4.lineCount != kLevels[level].lines) {
        state.SkipWithError("the run did not take the level");
    }
    state.SetBytesProcessed(state.iterations() * kLevels[level].lines * 20);
}

std::string logBytes(int lines) {
    std::string bytes;
    for (int line = 0; line < lines; ++line) {
        bytes += "Data Error none...\r\n";
    }
    return bytes;
}

// Inlined so that each caller's counter keeps its own addressing.
[[gnu::always_inline]] inline void workCycles(volatile std::int32_t& value, Level level) {
    for (int line = 1; line <= level.lines; ++line) {
        value = 1;
        while (value <= level.cycles) {
            value = value + kWorkAddend;
            value = value - kWorkAddend;
            value = value + 1;
        }
    }
}

void writeLog(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The like-for-like baseline: its counter is a volatile in a heap object, as the window's field is.
void rawTick(benchmark::State& state) {
    const Level level = kLevels[state.range(0)];
    bench_support::TemporaryFolder folder;
    const std::string path = folder.path() + "/log.dat";
    const std::string bytes = logBytes(level.lines);
    auto counter = std::make_unique<volatile std::int32_t>(0);

    for (auto _ : state) {
        workCycles(*counter, level);
        writeLog(path, bytes);
    }
    state.SetBytesProcessed(state.iterations() * level.lines * 20);
}

// The floor: a volatile on the stack, which some processors forward from store to load by memory
// renaming and so run the same instructions up to twice as fast as on a heap object.
void rawTickStackCounter(benchmark::State& state) {
    const Level level = kLevels[state.range(0)];
    bench_support::TemporaryFolder folder;
    const std::string path = folder.path() + "/log.dat";
    const std::string bytes = logBytes(level.lines);
    volatile std::int32_t counter = 0;

    for (auto _ : state) {
        workCycles(counter, level);
        writeLog(path, bytes);
    }
    state.SetBytesProcessed(state.iterations() * level.lines * 20);
}

BENCHMARK(form4Tick)->ArgName("level")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(rawTick)->ArgName("level")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(rawTickStackCounter)->ArgName("level")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
