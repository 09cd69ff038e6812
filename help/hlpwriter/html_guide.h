#pragma once

#include <string>
#include <string_view>

namespace hlp {

struct HtmlResult {
    std::string page;   // UTF-8
    std::string error;  // "name:line: message"; empty on success
};

// The same guide as one self-contained HTML page, for systems that have no viewer for the help file:
// each topic a heading whose id is its context id, each jump a link to it, and the keyword index as a
// list of links in the help file's order. Rejects exactly the sources that buildHelpFile rejects for
// their markup or their characters, so the two outputs always come from the same text.
HtmlResult buildHtmlGuide(std::string_view sourceText, const std::string& sourceName);

}  // namespace hlp
