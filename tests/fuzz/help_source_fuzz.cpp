// Any text as the help source: the writer never fails other than with an error message, and a help file
// it writes reads back cleanly, with every topic, jump, title and keyword where the viewer looks for it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "help_file.h"
#include "source.h"
#include "test_support.h"

namespace {

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "help source fuzz: %s\n", what.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    hlp::ParseResult parsed = hlp::parseHelpSource(text, "fuzz.txt");
    hlp::BuildResult built = hlp::buildHelpFile(text, "fuzz.txt");
    if (!built.error.empty()) {
        if (built.error.rfind("fuzz.txt:", 0) != 0) {
            fail("an error that names no place: " + built.error);
        }
        return 0;
    }
    if (!parsed.error.empty()) {
        fail("the writer took a source the parser refused: " + parsed.error);
    }
    hlpread::ReadResult back = hlpread::readHelpFile(built.file);
    if (!back.error.empty()) {
        fail("the written file does not read: " + back.error);
    }
    std::vector<std::string> ids;
    for (const hlp::Topic& topic : parsed.source.topics) {
        ids.push_back(topic.id);
    }
    std::string problem = hlptest::consistencyProblem(back.file, ids);
    if (!problem.empty()) {
        fail("the written file is inconsistent: " + problem);
    }
    return 0;
}
