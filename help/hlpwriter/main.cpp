// hlpwriter: builds the program's help file, and the same guide as a web page, from its readable source.
//   hlpwriter <source.txt> <output.hlp> [<output.html>]

#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "help_file.h"
#include "html_guide.h"

namespace {

// Writes beside the target and renames, so that a failed build never leaves a truncated file that the
// build system would take as up to date.
bool replaceFile(const std::string& path, const char* data, std::size_t size) {
    std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(data, static_cast<std::streamsize>(size));
        if (!out.flush()) {
            std::cerr << temp << ": cannot write\n";
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::cerr << path << ": cannot replace\n";
        return false;
    }
    return true;
}

int run(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: hlpwriter <source.txt> <output.hlp> [<output.html>]\n";
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
    hlp::HtmlResult html;
    if (argc == 4) {
        html = hlp::buildHtmlGuide(text.str(), argv[1]);
        if (!html.error.empty()) {
            std::cerr << html.error << "\n";
            return 1;
        }
    }
    if (!replaceFile(argv[2], reinterpret_cast<const char*>(result.file.data()), result.file.size()))
        return 1;
    if (argc == 4 && !replaceFile(argv[3], html.page.data(), html.page.size()))
        return 1;
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
