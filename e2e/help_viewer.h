// The help viewer, another process: found by its window class, its topic text read back through the
// clipboard.
#pragma once

#include <windows.h>

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

}  // namespace e2e
