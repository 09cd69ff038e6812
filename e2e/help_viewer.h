// The help viewer, another process: found by its window class, its topic text read back through the
// clipboard. And what the program opens instead on newer Windows: the Windows version the prefix reports to
// the program, and a web-page association that records what it was asked to open.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "e2e/driver.h"

namespace e2e {

inline constexpr int kViewerText = 0x701;  // the viewer's rich-edit control that shows the topic

inline std::wstring className(HWND h) {
    wchar_t cls[128] = {};
    GetClassNameW(h, cls, 128);
    return cls;
}

inline DWORD processOf(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid;
}

// A visible top-level window of the given class, optionally of one process only.
inline HWND visibleTopWindow(const std::wstring& cls, DWORD pid = 0) {
    struct Args {
        const std::wstring& cls;
        DWORD pid;
        HWND found;
    } args{cls, pid, nullptr};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* a = reinterpret_cast<Args*>(lp);
            if (IsWindowVisible(h) && className(h) == a->cls && (a->pid == 0 || processOf(h) == a->pid)) {
                a->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&args));
    return args.found;
}

// The help viewer's main window; closing it at the end keeps the next test's start clean.
class Viewer {
  public:
    HWND wait(Millis timeout = 20s) {
        waitUntil(
            [&] {
                window_ = visibleTopWindow(L"MS_WINHELP");
                return window_ != nullptr;
            },
            timeout);
        if (window_) {
            pid_ = processOf(window_);
        }
        return window_;
    }
    DWORD pid() const { return pid_; }
    // The topic's text as the viewer shows it. Its rich-edit control is an ANSI window in another process
    // and does not hand its text out through WM_GETTEXT there, so it is selected and copied instead.
    std::wstring topicText() const {
        HWND edit = GetDlgItem(window_, kViewerText);
        std::wstring out;
        SendMessageW(edit, EM_SETSEL, 0, -1);
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        SendMessageW(edit, WM_COPY, 0, 0);
        SendMessageW(edit, EM_SETSEL, 0, 0);
        if (OpenClipboard(nullptr)) {
            if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
                if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
                    out = p;
                    GlobalUnlock(data);
                }
            }
            CloseClipboard();
        }
        return out;
    }
    bool waitForTopic(const std::wstring& start, Millis timeout = 10s) const {
        return waitUntil([&] { return topicText().rfind(start, 0) == 0; }, timeout);
    }
    ~Viewer() {
        if (window_ && IsWindow(window_)) {
            PostMessageW(window_, WM_CLOSE, 0, 0);
            waitUntil([&] { return !IsWindow(window_); }, 5s);
        }
        // Leaves nothing behind: the viewer keeps running as long as one of its windows is up.
        while (HWND leftover = FindWindowW(L"MS_WINHELP", nullptr)) {
            PostMessageW(leftover, WM_CLOSE, 0, 0);
            if (!waitUntil([&] { return !IsWindow(leftover); }, 3s)) {
                break;
            }
        }
    }

  private:
    HWND window_ = nullptr;
    DWORD pid_ = 0;
};

// The Windows version Wine reports to Kolbrin.exe alone ("win7", "win10"), for as long as this lives.
class WindowsVersionForKolbrin {
  public:
    explicit WindowsVersionForKolbrin(const std::wstring& version) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Version", REG_SZ, version.c_str(),
                        static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    }
    ~WindowsVersionForKolbrin() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Version"); }
    WindowsVersionForKolbrin(const WindowsVersionForKolbrin&) = delete;
    WindowsVersionForKolbrin& operator=(const WindowsVersionForKolbrin&) = delete;

  private:
    static constexpr const wchar_t* kKey = L"Software\\Wine\\AppDefaults\\Kolbrin.exe";
};

// Web pages open, for as long as this lives, with a command that writes the page's path into a file
// instead of starting a browser. The shell reads associations from HKEY_CLASSES_ROOT only.
class WebPageRecorder {
  public:
    WebPageRecorder() {
        DeleteFileW(kRecord);
        wchar_t previous[256] = {};
        DWORD size = sizeof previous;
        if (RegGetValueW(HKEY_CLASSES_ROOT, L".html", nullptr, RRF_RT_REG_SZ, nullptr, previous, &size) ==
            ERROR_SUCCESS) {
            previous_ = previous;
        }
        setDefault(L".html", kClass);
        setDefault(std::wstring(kClass) + L"\\shell\\open\\command",
                   std::wstring(L"cmd.exe /c echo %1> ") + kRecord);
    }
    ~WebPageRecorder() {
        if (previous_) {
            setDefault(L".html", *previous_);
        } else {
            RegDeleteKeyW(HKEY_CLASSES_ROOT, L".html");
        }
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kClass);
        DeleteFileW(kRecord);
    }
    WebPageRecorder(const WebPageRecorder&) = delete;
    WebPageRecorder& operator=(const WebPageRecorder&) = delete;

    // The path of the page opened, once the command has written it; nothing when none was opened.
    std::optional<std::wstring> opened(Millis timeout) const {
        std::string bytes;
        waitUntil(
            [&] {
                HANDLE f = CreateFileW(kRecord, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
                if (f == INVALID_HANDLE_VALUE) {
                    return false;
                }
                char buffer[1024];
                DWORD got = 0;
                ReadFile(f, buffer, sizeof buffer, &got, nullptr);
                CloseHandle(f);
                bytes.assign(buffer, got);
                return bytes.find('\n') != std::string::npos;
            },
            timeout);
        if (bytes.empty()) {
            return std::nullopt;
        }
        while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r' || bytes.back() == ' ')) {
            bytes.pop_back();
        }
        return widen(bytes);
    }

  private:
    static constexpr const wchar_t* kClass = L"Kolbrin.RecordedPage";
    static constexpr const wchar_t* kRecord = L"C:\\kolbrin-e2e\\opened-page.txt";

    static void setDefault(const std::wstring& key, const std::wstring& value) {
        RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    std::optional<std::wstring> previous_;
};

}  // namespace e2e
