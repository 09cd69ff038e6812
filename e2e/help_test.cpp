// The help command on the real program: the viewer is another process, found by its window class and
// read back through its controls (the topic text, its buttons, its index list).
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "e2e/design_lookup.h"
#include "e2e/help_viewer.h"
#include "e2e/session.h"

using namespace e2e;

namespace {

std::vector<HWND> descendants(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

// A window's text up to its end. The viewer's windows are ANSI windows: across processes their
// WM_GETTEXTLENGTH counts bytes, so double-byte text comes back followed by NULs.
std::wstring shownText(HWND h) {
    return text(h).c_str();
}

HWND childWithText(HWND parent, const std::wstring& caption) {
    for (HWND h : descendants(parent)) {
        if (shownText(h) == caption && IsWindowVisible(h)) {
            return h;
        }
    }
    return nullptr;
}

HWND childOfClass(HWND parent, const std::wstring& cls) {
    for (HWND h : descendants(parent)) {
        if (className(h) == cls) {
            return h;
        }
    }
    return nullptr;
}

// その他(&T) → ヘルプ(&H)
void chooseHelp(HWND main) {
    chooseMenu(main, 'T', 3);
}

void expectMainWindowStillWorks(Session& s, HWND main) {
    ASSERT_TRUE(s.kolbrin->running());
    // The viewer may cover the main window; the tray icon brings it to the front, as a user would do.
    ASSERT_EQ(s.showMainWindow(), main);
    click(control(main, app::form1Design(), "Command4"));  // 閉じる
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(main); })) << "閉じる did not hide the main window";
    EXPECT_TRUE(s.kolbrin->running());
    EXPECT_EQ(s.showMainWindow(), main);
}

// Double-clicks an entry of a list box in another process, found by its text.
bool doubleClickListEntry(HWND list, const std::wstring& entry) {
    int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        int length = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, i, 0));
        std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(length));
        if (item != entry) {
            continue;
        }
        int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
        POINT p{12, (i - top) * height + height / 2};
        ClientToScreen(list, &p);
        doubleClickAt(p);
        return true;
    }
    return false;
}

// The program, with the help file and the web-page guide, at a Windows version Wine reports to it alone,
// started as from a shortcut whose working folder is another one: that folder holds files named as the
// program's guides that are none. Web pages are recorded, not shown. The main window is up.
struct StartedElsewhere {
    StartedElsewhere(const std::string& test, const std::wstring& windows)
        : version(windows), elsewhere(test + ".elsewhere"), s(test, /*withHelp=*/true) {
        elsewhere.write("palvo.hlp", "This is not a help file.\r\n");
        elsewhere.write("palvo.html", "<p>This is not the guide.</p>\r\n");
        s.start(elsewhere.path());
        main = s.showMainWindow();
    }
    WindowsVersionForKolbrin version;
    WebPageRecorder pages;
    ProgramFolder elsewhere;
    Session s;
    HWND main = nullptr;
};

TEST(Help, OpensTheContentsAndTheViewerReachesOtherTopics) {
    // Without the web-page guide the program asks for the help file, where a viewer has been installed:
    // its own, not the one in the folder the program was started from.
    StartedElsewhere run(currentTestName(), L"win7");
    Session& s = run.s;
    HWND main = run.main;
    DeleteFileW(s.folder.file("palvo.html").c_str());
    Viewer viewer;
    chooseHelp(main);
    HWND window = viewer.wait();
    ASSERT_NE(window, nullptr) << "no help viewer window";
    EXPECT_NE(viewer.pid(), s.kolbrin->pid());
    EXPECT_EQ(visibleTopWindow(L"#32770", viewer.pid()), nullptr) << "the viewer complained about the file";
    EXPECT_NE(shownText(window).find(L"ヘルプ"), std::wstring::npos) << narrow(shownText(window));
    ASSERT_TRUE(viewer.waitForTopic(L"Kolbrin ヘルプ 目次")) << narrow(viewer.topicText());
    std::wstring contents = viewer.topicText();
    for (const wchar_t* entry :
         {L"Kolbrinについて（起動と通知領域のアイコン）", L"メインウィンドウのボタンとメニュー",
          L"最適化と3つのレベル", L"メモリスキャンと3つのレベル", L"設定ダイアログと設定ファイル1.dat",
          L"情報ウィンドウ", L"Kolbrinの終了"}) {
        EXPECT_NE(contents.find(entry), std::wstring::npos) << narrow(entry);
    }
    Sleep(500);
    screenshot("help-contents");

    // 「>>」 walks the topics in order: the contents topic is followed by the one about the program.
    HWND next = nullptr, previous = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        next = childWithText(window, L"&>>");
        previous = childWithText(window, L"&<<");
        return next && previous;
    })) << "no browse buttons";
    EXPECT_FALSE(IsWindowEnabled(previous)) << "the first topic has nothing before it";
    click(next);
    ASSERT_TRUE(viewer.waitForTopic(L"Kolbrinについて")) << narrow(viewer.topicText());
    Sleep(300);
    screenshot("help-browse-next");

    // The index lists every topic by its title and opens the one chosen.
    HWND index = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (index = childWithText(window, L"索引(&I)")) != nullptr; }));
    click(index);
    HWND dialog = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (dialog = visibleTopWindow(L"#32770", viewer.pid())) != nullptr; }));
    HWND list = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (list = childOfClass(dialog, L"ListBox")) != nullptr; }));
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 8);
    Sleep(300);
    screenshot("help-index");
    ASSERT_TRUE(doubleClickListEntry(list, L"メモリスキャン"));
    ASSERT_TRUE(viewer.waitForTopic(L"メモリスキャン\r")) << narrow(viewer.topicText().substr(0, 40));
    EXPECT_NE(viewer.topicText().find(L"ゆっくり念入りに"), std::wstring::npos);
    Sleep(300);
    screenshot("help-index-topic");

    // The viewer runs on its own: the program's window keeps working while it is open.
    EXPECT_TRUE(IsWindow(window));
    expectMainWindowStillWorks(s, main);
    EXPECT_FALSE(run.pages.opened(0s)) << "a web page was opened as well";
}

TEST(Help, OnWindows7TheWebPageGuideOfTheProgramFolderOpens) {
    StartedElsewhere run(currentTestName(), L"win7");
    Session& s = run.s;
    HWND main = run.main;
    Viewer viewer;
    chooseHelp(main);
    std::optional<std::wstring> page = run.pages.opened(15s);
    ASSERT_TRUE(page) << "no web page was opened";
    EXPECT_EQ(*page, s.folder.file("palvo.html"));
    EXPECT_EQ(viewer.wait(3s), nullptr) << "the help viewer opened as well";
    expectMainWindowStillWorks(s, main);
}

TEST(Help, WithoutTheFileTheViewersQuestionIsAnsweredAndTheProgramRunsOn) {
    // On Windows 10 without the web-page guide beside the program, the help file is asked for as ever.
    WindowsVersionForKolbrin windows10(L"win10");
    WebPageRecorder pages;
    Session s(currentTestName());
    s.start();
    HWND main = s.showMainWindow();
    Viewer viewer;
    chooseHelp(main);
    // The viewer asks whether to look for the file itself; the program waits inside WinHelpA meanwhile.
    HWND box = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] {
            HWND candidate = visibleTopWindow(L"#32770");
            box = candidate && processOf(candidate) != s.kolbrin->pid() ? candidate : nullptr;
            return box != nullptr;
        },
        20s))
        << "the viewer did not say the file is missing";
    std::wstring message = messageText(box).c_str();
    // The viewer names the file it was asked for: the one in the program folder.
    EXPECT_NE(message.find(L"'" + s.folder.file("palvo.hlp") + L"' が見つかりません"), std::wstring::npos)
        << narrow(message);
    EXPECT_TRUE(hasButton(box, IDYES));
    EXPECT_TRUE(hasButton(box, IDNO));
    EXPECT_TRUE(s.kolbrin->running());
    screenshot("help-missing-file");
    DWORD viewerPid = processOf(box);
    click(GetDlgItem(box, IDNO));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); }, 5s));
    EXPECT_EQ(visibleTopWindow(L"MS_WINHELP", viewerPid), nullptr) << "a viewer window came up anyway";
    expectMainWindowStillWorks(s, main);
    EXPECT_FALSE(pages.opened(0s));
}

}  // namespace
