// Any bytes as 1.dat, read by a whole program on the headless backend the way the real start-up reads
// it: the start never fails, it always leaves a file that the next start takes without a word, and a file
// it takes as it is, saved with OK and read again, gives back the same three settings.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "harness.h"

namespace {

using testing_support::HeadlessApp;
using testing_support::kSettingsPath;

struct Settings {
    int optimization, scan, backup;
    bool operator==(const Settings&) const = default;
};

Settings settingsOf(app::Program& program) {
    auto& form6 = program.form6;
    return {form6.selectedIndex("Option1"), form6.selectedIndex("Option2"), form6.control("Check1").value};
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "settings fuzz: %s\n", what);
    std::abort();
}

// Starts a program on `file`; true when it read the file as it is: no question, no notice, no rewrite.
bool startsQuietly(HeadlessApp& app, const std::string& file) {
    app.files.content[kSettingsPath] = file;
    // Boxes take their default button, so an incompatible file is reset rather than ending the program.
    if (!app.start()) {
        fail("the start-up ended the program");
    }
    return app.backend.messages().empty() && app.settingsFile() == file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    HeadlessApp first;
    const bool taken = startsQuietly(first, bytes);
    const Settings loaded = settingsOf(first.program);

    // Whatever the start made of the file, the next start takes what it left.
    HeadlessApp next;
    if (!startsQuietly(next, first.settingsFile())) {
        fail("the file left by a start is not read quietly by the next one");
    }
    if (!taken) {
        return 0;
    }

    if (!first.run([&] { first.program.form6.Command1_Click(); })) {
        fail("OK ended the program");
    }
    HeadlessApp reread;
    if (!startsQuietly(reread, first.settingsFile())) {
        fail("the saved file is not read quietly");
    }
    if (!(settingsOf(reread.program) == loaded)) {
        fail("the saved file reads back as other settings");
    }
    return 0;
}
