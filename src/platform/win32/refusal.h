// What the system refused the program (a window, a control, a timer, the common controls), in the one
// short line the user is told as the reason the program cannot go on.
#pragma once

#include <stdexcept>

namespace win32 {

class SystemRefused : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace win32
