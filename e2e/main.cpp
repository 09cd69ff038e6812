#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    // The driver reads the program's windows and the screen in real pixels. A newer Wine, as Windows does,
    // shows a program that does not say it knows the DPI a scaled screen of 96 dpi.
    using SetAwareness = BOOL(WINAPI*)(HANDLE);
    if (auto set = reinterpret_cast<SetAwareness>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")))) {
        set(reinterpret_cast<HANDLE>(-4));  // per monitor, version 2
    }
    // ctest reads the output through a pipe: keep it in order with the test's own lines.
    setvbuf(stdout, nullptr, _IONBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
