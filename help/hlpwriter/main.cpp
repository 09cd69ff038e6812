// hlpwriter: builds the program's help file from its readable source.
//   hlpwriter <source.txt> <output.hlp>

#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "help_file.h"

namespace {

int run(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: hlpwriter <source.txt> <output.hlp>\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << argv[1] << ": cannot open\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    hlp::BuildResult result = hlp::buildHelpFile(text.str(), argv[1]);
    if (!result.error.empty()) {
        std::cerr << result.error << "\n";
        return 1;
    }
    // Write beside the target and rename, so that a failed build never leaves a truncated help file
    // that the build system would take as up to date.
    std::string temp = std::string(argv[2]) + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(result.file.data()),
                  static_cast<std::streamsize>(result.file.size()));
        if (!out.flush()) {
            std::cerr << temp << ": cannot write\n";
            return 1;
        }
    }
    if (std::rename(temp.c_str(), argv[2]) != 0) {
        std::cerr << argv[2] << ": cannot replace\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "hlpwriter: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "hlpwriter: unexpected failure\n";
    }
    return 1;
}
