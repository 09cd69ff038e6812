#include "platform/win32/entry.h"

#include <exception>
#include <new>

#include "app/program.h"
#include "platform/win32/backend.h"
#include "platform/win32/refusal.h"
#include "platform/win32/services.h"
#include "platform/win32/text.h"

namespace win32 {

namespace {

constexpr int kFailed = 1;

std::string reasonOf(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const SystemRefused& refused) {
        return refused.what();
    } catch (const std::bad_alloc&) {
        return "メモリが足りません。";
    } catch (...) {
        // Nothing the user could act on (a fault of the program itself): no words meant for its developers.
        return "原因の分からないエラーが起きました。";
    }
}

}  // namespace

std::wstring cannotStartMessage(const std::string& reason) {
    return L"Kolbrin を起動できませんでした。\n" + widen(reason);
}

int runProgram(HINSTANCE instance) {
    std::exception_ptr failure;
    // Nested scopes rather than optional objects: with those, the 32-bit toolchain's link-time optimisation
    // fails inside the compiler.
    try {
        Backend backend(instance);
        Files files;
        Shell shell;
        app::Program program(backend, files, shell);
        try {
            program.start();
            return backend.run();
        } catch (...) {
            // The icon goes with the windows rather than linger until the pointer passes over it.
            program.form1.removeTrayIcon();
            throw;
        }
    } catch (...) {
        failure = std::current_exception();
    }
    // The windows are gone before the message comes. A failure in a window procedure ended the message
    // loops with a quit message; one still waiting would close this box at once.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    MessageBoxW(nullptr, cannotStartMessage(reasonOf(failure)).c_str(), L"Kolbrin",
                MB_OK | MB_SETFOREGROUND | MB_TASKMODAL);
    return kFailed;
}

}  // namespace win32
