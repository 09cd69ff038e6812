#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "bytes.h"

namespace hlp {

struct BuildResult {
    Bytes file;
    std::string error;  // "name:line: message"; empty on success
};

// Turns a help source (UTF-8 text in the markup that parseHelpSource reads) into a WinHelp 3.1 file
// with code page 932 text. `sourceName` only labels error messages.
BuildResult buildHelpFile(std::string_view sourceText, const std::string& sourceName);

// The keyword index's order, as the viewer compares keywords: positions into `cp932Titles`, sorted with
// ASCII letters compared without regard to case and double-byte characters kept whole.
std::vector<std::size_t> indexOrder(const std::vector<std::string>& cp932Titles);

}  // namespace hlp
