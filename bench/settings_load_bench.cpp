// Reading 1.dat as the load does, from a real file: an ordinary file, a file with a long tail after its
// five lines, and a file that is one endless line. The baseline is the least any reader pays: the whole
// file read into memory in one go and searched for its line ends.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <string>

#include "real_files.h"
#include "settings/settings_file.h"

namespace {

enum Shape { kOrdinary, kLongTail, kOneLine };

std::string fileOf(Shape shape) {
    std::string ordinary = settings::format(settings::kDefaultValues);
    const std::string tail(64 << 20, 'x');
    switch (shape) {
        case kOrdinary:
            return ordinary;
        case kLongTail:
            return ordinary + tail;
        case kOneLine:
            return ordinary.substr(0, ordinary.find('\r')) + tail;
    }
    return ordinary;
}

struct File {
    bench_support::TemporaryFolder folder;
    std::string path;
    std::size_t size;
    explicit File(Shape shape) : path(folder.path() + "/1.dat") {
        std::string bytes = fileOf(shape);
        size = bytes.size();
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
    }
};

void settingsLoad(benchmark::State& state) {
    File file(static_cast<Shape>(state.range(0)));
    bench_support::RealFiles files;
    for (auto _ : state) {
        settings::Loader loader;
        files.read(file.path, [&loader](std::string_view piece) { return loader.feed(piece); });
        benchmark::DoNotOptimize(loader.finish());
    }
}

void wholeFileBaseline(benchmark::State& state) {
    File file(static_cast<Shape>(state.range(0)));
    for (auto _ : state) {
        std::ifstream in(file.path, std::ios::binary);
        std::string bytes(file.size, '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        int lines = 0;
        for (const char* p = bytes.data();
             (p = static_cast<const char*>(std::memchr(p, '\r', bytes.data() + bytes.size() - p))) != nullptr;
             ++p) {
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
}

BENCHMARK(settingsLoad)->ArgName("shape")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(wholeFileBaseline)->ArgName("shape")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
