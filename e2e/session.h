// A fresh program folder with Kolbrin.exe started in it, and the steps every end-to-end test shares.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/form1.h"
#include "e2e/design_lookup.h"
#include "e2e/driver.h"

namespace e2e {

struct Session {
    explicit Session(const std::string& name, bool withHelp = false) : folder(name, withHelp) {}
    Session(const std::string& name, const std::wstring& download) : folder(name, download) {}

    void start(const std::wstring& workingFolder = {}) {
        kolbrin = std::make_unique<Kolbrin>(folder, workingFolder);
        kolbrin->waitIdle();
    }
    // Presses the left button on the tray icon and waits for the main window.
    HWND showMainWindow() {
        clickAt(trayIconPoint());
        HWND main = kolbrin->waitForWindow("Form1", true, 5s);
        EXPECT_NE(main, nullptr) << "the main window did not appear";
        // A person looks before the next click: let the window finish coming up.
        waitUntil([&] { return GetForegroundWindow() == main; }, 3s);
        Sleep(300);
        return main;
    }
    // Presses "設定" in the main window and waits for the settings dialog.
    HWND openSettings(HWND main) {
        click(control(main, app::form1Design(), "Command3"));
        return kolbrin->waitForWindow("Form6");
    }

    // Answers the message box that is up with one of its buttons, by clicking it.
    void answer(int buttonId) {
        HWND box = kolbrin->waitForMessageBox();
        ASSERT_NE(box, nullptr);
        click(GetDlgItem(box, buttonId));
        waitUntil([&] { return !IsWindow(box); }, 5s);
    }

    ProgramFolder folder;
    std::unique_ptr<Kolbrin> kolbrin;
};

// Test names double as folder names under C:\kolbrin-e2e.
inline std::string currentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    return name;
}

}  // namespace e2e
