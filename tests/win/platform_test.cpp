// The Windows side of the platform calls, against the real system (Wine here).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "app/program.h"
#include "cp932_bytes.h"
#include "e2e/driver.h"
#include "platform/win32/entry.h"
#include "platform/win32/icons.h"
#include "platform/win32/services.h"
#include "platform/win32/text.h"
#include "settings/settings_file.h"

namespace {

using win32::narrow;
using win32::widen;

std::wstring selfPath() {
    wchar_t buffer[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::wstring(buffer, n);
}

// The whole content of a file through the program's own reader.
std::optional<std::string> readAll(const std::string& path) {
    std::string out;
    auto read = win32::Files().read(path, [&out](std::string_view piece) {
        out.append(piece);
        return true;
    });
    return read == platform::ReadResult::Read ? std::optional(out) : std::nullopt;
}

std::string tempFolder(const std::string& name) {
    std::string folder = "C:\\kolbrin-win-tests\\" + name;
    CreateDirectoryW(L"C:\\kolbrin-win-tests", nullptr);
    CreateDirectoryW(widen(folder).c_str(), nullptr);
    return folder + "\\";
}

// Starts a copy of this test program in `folder` and returns the program folder it reports.
std::string exeFolderSeenFrom(const std::string& folder, const std::string& exeName) {
    std::wstring exe = widen(folder + exeName);
    EXPECT_TRUE(CopyFileW(selfPath().c_str(), exe.c_str(), FALSE)) << folder;
    std::wstring out = widen(tempFolder("out") + "folder.txt");
    DeleteFileW(out.c_str());
    std::wstring cmd = L"\"" + exe + L"\" --exe-folder \"" + out + L"\"";
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start " << narrow(exe);
        return {};
    }
    WaitForSingleObject(pi.hProcess, 30000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DeleteFileW(exe.c_str());
    return readAll(narrow(out)).value_or("<none>");
}

TEST(InstanceTest, TheFirstHolderStaysFirstAndAnyOtherSeesIt) {
    win32::Shell first, second;
    EXPECT_FALSE(first.anotherInstanceRunning());
    EXPECT_TRUE(second.anotherInstanceRunning());
    EXPECT_FALSE(first.anotherInstanceRunning());  // asking again, as the start-up does when it reruns
}

TEST(InstanceTest, AnInstanceWhoseNameWeMayNotOpenIsRunning) {
    // What an instance run as administrator leaves to a normal one: the name, with no access granted.
    SECURITY_DESCRIPTOR sd;
    ACL emptyAcl;
    ASSERT_TRUE(InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(InitializeAcl(&emptyAcl, sizeof emptyAcl, ACL_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&sd, TRUE, &emptyAcl, FALSE));
    SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
    HANDLE elevated = CreateMutexW(&sa, FALSE, L"Local\\Kolbrin.Instance");
    ASSERT_NE(elevated, nullptr);
    ASSERT_EQ(CreateMutexW(nullptr, FALSE, L"Local\\Kolbrin.Instance"), nullptr) << "the name can be opened";
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(win32::Shell().anotherInstanceRunning());
    CloseHandle(elevated);
    EXPECT_FALSE(win32::Shell().anotherInstanceRunning());
}

TEST(ProgramFolder, KeepsExactlyOneFinalBackslash) {
    struct Case {
        const wchar_t* exe;
        const char* appPath;
    };
    for (auto c : {Case{L"C:\\Tools\\Kolbrin.exe", "C:\\Tools\\"}, Case{L"C:\\Kolbrin.exe", "C:\\"},
                   Case{L"D:\\a\\b\\Kolbrin.exe", "D:\\a\\b\\"}}) {
        EXPECT_EQ(app::withFinalBackslash(narrow(win32::folderOf(c.exe))), c.appPath);
    }
}

TEST(ProgramFolder, IsReportedForTheRootAndForAFolderNameOutsideTheJapaneseCodePage) {
    EXPECT_EQ(exeFolderSeenFrom("C:\\", "kolbrin-root-probe.exe"), "C:\\");
    std::string wide = tempFolder("ünï€-フォルダ");
    EXPECT_EQ(exeFolderSeenFrom(wide, "probe.exe") + "\\", wide);
}

TEST(Files, WorkInAFolderWhoseNameTheJapaneseCodePageCannotHold) {
    win32::Files files;
    std::string path = tempFolder("€-ünï") + "1.dat";
    ASSERT_TRUE(files.write(path, "abc"));
    EXPECT_EQ(readAll(path), "abc");
    ASSERT_TRUE(files.replace(path, "xyz"));
    EXPECT_EQ(readAll(path), "xyz");
    EXPECT_TRUE(files.remove(path));
    EXPECT_FALSE(readAll(path).has_value());
    EXPECT_FALSE(files.remove(path));

    // A reader that has what it needs ends the read: a long file is not read to its end.
    ASSERT_TRUE(files.write(path, std::string(1 << 20, 'x')));
    std::size_t handedOver = 0;
    EXPECT_EQ(files.read(path,
                         [&](std::string_view piece) {
                             handedOver += piece.size();
                             return false;
                         }),
              platform::ReadResult::Read);
    EXPECT_GT(handedOver, 0u);
    EXPECT_LT(handedOver, 1u << 20);
}

// The help viewer's call takes a code-page path: what it is handed must open the program's own file, or
// nothing at all (a '?' no file name holds), never UTF-8 bytes or a best-fit look-alike.
TEST(HelpFile, TheViewersPathOpensTheProgramsOwnFileOrNone) {
    win32::Files files;
    for (const char* folder : {"help-ascii", "ヘルプ", "€-ünï-help"}) {
        std::string path = tempFolder(folder) + "palvo.hlp";
        ASSERT_TRUE(files.write(path, folder));
        std::string argument = win32::helpFileArgument(path);
        HANDLE file =
            CreateFileA(argument.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            EXPECT_NE(argument.find('?'), std::string::npos) << folder << ": " << argument;
            continue;
        }
        char buffer[64] = {};
        DWORD got = 0;
        ReadFile(file, buffer, sizeof buffer - 1, &got, nullptr);
        CloseHandle(file);
        EXPECT_EQ(std::string(buffer, got), folder);
    }
    EXPECT_EQ(win32::helpFileArgument("C:\\Kolbrin\\palvo.hlp"), "C:\\Kolbrin\\palvo.hlp");
}

TEST(Files, ReplaceLeavesTheOldFileWhenItCannotFinish) {
    win32::Files files;
    std::string folder = tempFolder("replace");
    std::string path = folder + "1.dat";
    ASSERT_TRUE(files.write(path, "old"));

    // Held open by another program without sharing.
    HANDLE held = CreateFileW(widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(files.replace(path, "new"));
    CloseHandle(held);
    EXPECT_EQ(readAll(path), "old");
    EXPECT_EQ(GetFileAttributesW(widen(path + ".new").c_str()), INVALID_FILE_ATTRIBUTES);

    // A folder in the file's place.
    std::string dir = folder + "dir.dat";
    CreateDirectoryW(widen(dir).c_str(), nullptr);
    EXPECT_FALSE(files.replace(dir, "new"));
    EXPECT_FALSE(files.write(dir, "new"));
    EXPECT_FALSE(readAll(dir).has_value());
    EXPECT_TRUE(GetFileAttributesW(widen(dir).c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesW(widen(dir + ".new").c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(files.replace(path, "new"));
    EXPECT_EQ(readAll(path), "new");
}

TEST(Files, OnlyAFileThatIsNotThereReadsAsMissing) {
    win32::Files files;
    std::string folder = tempFolder("unreadable");
    std::string path = folder + "1.dat";
    ASSERT_TRUE(files.write(path, "mine"));
    std::string dir = folder + "dir.dat";
    CreateDirectoryW(widen(dir).c_str(), nullptr);
    auto readOf = [&files](const std::string& p) {
        return files.read(p, [](std::string_view) { return true; });
    };
    using platform::ReadResult;
    EXPECT_EQ(readOf(folder + "none.dat"), ReadResult::Missing);
    EXPECT_EQ(readOf(folder + "none\\1.dat"), ReadResult::Missing);
    EXPECT_EQ(readOf(dir), ReadResult::Unreadable);
    for (DWORD share : {0ul, static_cast<DWORD>(FILE_SHARE_DELETE)}) {
        HANDLE held =
            CreateFileW(widen(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(readOf(path), ReadResult::Unreadable) << "sharing " << share;
        CloseHandle(held);
    }
    EXPECT_EQ(readOf(path), ReadResult::Read);

    // What the system can answer to an open: access denied, a sharing violation, and an online-only file
    // whose provider is not running (362), which has no network (388) or failed otherwise (389).
    for (DWORD error : {5ul, 32ul, 362ul, 388ul, 389ul, 1920ul}) {
        EXPECT_EQ(win32::readFailure(error), ReadResult::Unreadable) << error;
    }
    EXPECT_EQ(win32::readFailure(ERROR_FILE_NOT_FOUND), ReadResult::Missing);
    EXPECT_EQ(win32::readFailure(ERROR_PATH_NOT_FOUND), ReadResult::Missing);
}

TEST(MainIcon, EachSmallIconSizeHasItsOwnSixteenColourImage) {
    std::wstring self = selfPath();
    std::wstring exe = self.substr(0, self.find_last_of(L'\\') + 1) + L"Kolbrin.exe";
    HMODULE program =
        LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr) << narrow(exe);
    HRSRC groupInfo = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(groupInfo, nullptr);
    auto* group = static_cast<BYTE*>(LockResource(LoadResource(program, groupInfo)));
    struct Case {
        bool small;
        int dpi;
        int size;
    };
    for (auto c : {Case{true, 96, 16}, Case{true, 120, 20}, Case{true, 144, 24}, Case{true, 192, 32},
                   Case{false, 96, 32}}) {
        EXPECT_EQ(win32::iconSizeAt(c.small, c.dpi), c.size) << c.dpi;
        // The image the system picks for that size is one drawn for it, not another one resampled.
        int id = LookupIconIdFromDirectoryEx(group, TRUE, c.size, c.size, LR_DEFAULTCOLOR);
        HRSRC imageInfo = FindResourceW(program, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));  // RT_ICON
        ASSERT_NE(imageInfo, nullptr) << c.size;
        auto* header = static_cast<BITMAPINFOHEADER*>(LockResource(LoadResource(program, imageInfo)));
        EXPECT_EQ(header->biWidth, c.size);
        EXPECT_EQ(header->biBitCount, 4) << c.size;

        HICON icon = win32::loadMainIcon(program, c.small, c.dpi);
        ASSERT_NE(icon, nullptr) << c.size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, c.size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    FreeLibrary(program);
}

TEST(CodePage, TheSettingsFileIsWhatTheJapaneseCodePageMakesOfItsText) {
    const char* text =
        "Kolbrin 設定ファイル\r\nVer.1.00\r\n最適化程度 = 2\r\nメモリスキャン程度 = 2\r\n"
        "バックアップしながら最適化 = 1\r\n";
    std::wstring wide = widen(text);
    int n =
        WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string cp932(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), cp932.data(), n, nullptr,
                        nullptr);
    EXPECT_EQ(cp932, settings::format(settings::kDefaultValues));
    EXPECT_EQ(cp932, testing_support::kDefaultFile);
    EXPECT_EQ(GetACP(), 932u);  // the test set-up runs Wine in the Japanese locale
}

TEST(TrayRecord, TheShellAcceptsAndRemovesTheIcon) {
    HWND window =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    platform::IconData data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uFlags = 7;
    data.uCallbackMessage = 512;
    data.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    std::memcpy(data.szTip, "Kolbrin", 8);
    win32::Shell shell;
    EXPECT_TRUE(shell.notifyIcon(platform::kNimAdd, data));
    EXPECT_FALSE(shell.notifyIcon(platform::kNimAdd, data)) << "the same icon was added twice";
    EXPECT_TRUE(shell.notifyIcon(platform::kNimDelete, data));
    DestroyWindow(window);
}

// The program's own windows (classes "Kolbrin.…") refused, as by a system out of resources.
LRESULT CALLBACK refuseProgramWindows(int code, WPARAM wp, LPARAM lp) {
    auto name = code == HCBT_CREATEWND ? reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs->lpszClass : L"";
    const bool ours = !IS_INTRESOURCE(name) && std::wstring_view(name).starts_with(L"Kolbrin.");
    return ours ? 1 : CallNextHookEx(nullptr, code, wp, lp);
}

TEST(Entry, AStartThatCannotCompleteSaysWhyAndEndsWithAFailure) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, refuseProgramWindows, nullptr, GetCurrentThreadId());
    bool told = false;
    std::thread user([&told] {
        HWND box = nullptr;
        e2e::waitUntil([&] { return (box = FindWindowW(L"#32770", L"Kolbrin")) != nullptr; });
        told = e2e::isPlainMessage(
            box, L"Kolbrin を起動できませんでした。\nウィンドウを作成できませんでした。", {IDOK});
        e2e::screenshot("cannot-start");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_NE(win32::runProgram(GetModuleHandleW(nullptr)), 0);
    user.join();
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(told);
}

}  // namespace
