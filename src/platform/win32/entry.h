// The program on Windows from its start to its end: the backend and the services, the start-up and the
// message loop, and the one place where a failure ends it with a word to the user.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// Runs the program. Its exits end the process themselves; what returns is a failure (a window or control
// the system refused, comctl32 missing, a timer refused, at the start-up or later): the user has been told
// why, and the result is the process's exit code, never 0.
int runProgram(HINSTANCE instance);

// What the user is told when the program cannot go on: the fact, then the reason in one short line.
std::wstring cannotStartMessage(const std::string& reason);

}  // namespace win32
