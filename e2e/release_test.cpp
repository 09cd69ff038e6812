// The 64-bit download as a user gets it: unpacked into a new folder and started from there.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "e2e/design_lookup.h"
#include "e2e/help_viewer.h"
#include "e2e/session.h"
#include "info/info_window.h"

using namespace e2e;

namespace {

// Entries of the menu "その他(&T)", separators not counted.
constexpr int kHelpEntry = 3, kAboutEntry = 4;

std::wstring download() {
    std::wstring path = L"Z:" + widen(KOLBRIN_RELEASE_ZIP);
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

TEST(Release, TheUnpackedDownloadRunsFromItsOwnFolder) {
    if (GetFileAttributesW(download().c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no download at " << KOLBRIN_RELEASE_ZIP << ": scripts/release.sh makes it";
    }
    Session s(currentTestName(), download());
    ASSERT_TRUE(s.folder.exists("palvo.hlp"));
    ASSERT_FALSE(s.folder.exists("1.dat"));
    s.start();
    EXPECT_TRUE(waitUntil([] { return trayShowsAnIcon(); })) << "no tray icon";
    EXPECT_TRUE(waitUntil([&] { return s.folder.exists("1.dat"); })) << "no settings file beside the program";

    HWND main = s.showMainWindow();
    ASSERT_NE(main, nullptr);
    chooseMenu(main, 'T', kAboutEntry);
    HWND about = s.kolbrin->waitForWindow("Form3");
    ASSERT_NE(about, nullptr) << "no About window";
    EXPECT_EQ(text(control(about, info::form3Design(), "Label2")), L"Version.1.20");
    Sleep(300);
    screenshot("release-about");
    click(control(about, info::form3Design(), "Command1"));
    EXPECT_TRUE(waitUntil([&] { return !s.kolbrin->visible("Form3"); }));

    // The help file beside the program is the one the viewer opens, at its contents.
    Viewer viewer;
    chooseMenu(main, 'T', kHelpEntry);
    HWND window = viewer.wait();
    ASSERT_NE(window, nullptr) << "the help viewer did not open";
    EXPECT_NE(viewer.pid(), s.kolbrin->pid());
    EXPECT_TRUE(viewer.waitForTopic(L"Kolbrin ヘルプ 目次")) << narrow(viewer.topicText());
    Sleep(500);
    screenshot("release-help");
    EXPECT_TRUE(s.kolbrin->running());
}

}  // namespace
