#pragma once

#include <string>
#include <string_view>

namespace hlp {

// Converts UTF-8 to code page 932. On failure returns false and describes the first character that
// could not be converted (for example "U+20AC '€'") in `problem`; `out` is then unspecified.
bool utf8ToCp932(std::string_view utf8, std::string& out, std::string& problem);

}  // namespace hlp
