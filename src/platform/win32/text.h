// The program's strings are UTF-8; the system's wide functions take UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

}  // namespace win32
