#pragma once

#include <string>
#include <string_view>

#include "bytes.h"

namespace hlp {

struct BuildResult {
    Bytes file;
    std::string error;  // "name:line: message"; empty on success
};

// Turns a help source (UTF-8 text in the markup that parseHelpSource reads) into a WinHelp 3.1 file
// with code page 932 text. `sourceName` only labels error messages.
BuildResult buildHelpFile(std::string_view sourceText, const std::string& sourceName);

}  // namespace hlp
