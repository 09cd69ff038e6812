#include "platform/win32/services.h"

#include <shellapi.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/win32/system_calls.h"
#include "platform/win32/text.h"

namespace win32 {

// The notification record is the shell's first version, field for field.
static_assert(sizeof(platform::IconData) == NOTIFYICONDATAA_V1_SIZE);
static_assert(offsetof(platform::IconData, hWnd) == offsetof(NOTIFYICONDATAA, hWnd));
static_assert(offsetof(platform::IconData, uID) == offsetof(NOTIFYICONDATAA, uID));
static_assert(offsetof(platform::IconData, uFlags) == offsetof(NOTIFYICONDATAA, uFlags));
static_assert(offsetof(platform::IconData, uCallbackMessage) == offsetof(NOTIFYICONDATAA, uCallbackMessage));
static_assert(offsetof(platform::IconData, hIcon) == offsetof(NOTIFYICONDATAA, hIcon));
static_assert(offsetof(platform::IconData, szTip) == offsetof(NOTIFYICONDATAA, szTip));
#ifndef _WIN64
static_assert(sizeof(platform::IconData) == 88);
static_assert(offsetof(platform::IconData, hWnd) == 4 && offsetof(platform::IconData, uID) == 8 &&
              offsetof(platform::IconData, uFlags) == 12 &&
              offsetof(platform::IconData, uCallbackMessage) == 16 &&
              offsetof(platform::IconData, hIcon) == 20 && offsetof(platform::IconData, szTip) == 24);
#endif
static_assert(platform::kNimAdd == NIM_ADD && platform::kNimModify == NIM_MODIFY &&
              platform::kNimDelete == NIM_DELETE);
static_assert(platform::kNifMessage == NIF_MESSAGE && platform::kNifIcon == NIF_ICON &&
              platform::kNifTip == NIF_TIP);
static_assert(platform::kWmMouseMove == WM_MOUSEMOVE && platform::kWmLButtonDown == WM_LBUTTONDOWN);
static_assert(platform::kNotifyIconVersion == NOTIFYICON_VERSION && platform::kNinSelect == NIN_SELECT &&
              platform::kNinKeySelect == NIN_KEYSELECT);
static_assert(platform::kHelpContents == HELP_CONTENTS);

namespace {

bool writeAll(const std::wstring& path, const std::string& bytes, bool flush) {
    UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    if (flush && !FlushFileBuffers(file.get())) {
        return false;
    }
    // A full disk can show itself only when the last buffers are written out at close.
    return file.close();
}

}  // namespace

platform::ReadResult readFailure(DWORD error) {
    // Only a name that is not there means no file. Every other refusal (a holder that shares no reading,
    // access denied, a cloud file that cannot be fetched) leaves a file that may hold the user's data.
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? platform::ReadResult::Missing
                                                                          : platform::ReadResult::Unreadable;
}

platform::ReadResult Files::read(const std::string& path,
                                 const std::function<bool(std::string_view)>& consume) {
    UniqueFileHandle file(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return readFailure(GetLastError());
    }
    char buffer[16384];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            // The file was opened, so it is there, whatever the error says.
            return platform::ReadResult::Unreadable;
        }
        if (got == 0 || !consume(std::string_view(buffer, got))) {
            return platform::ReadResult::Read;
        }
    }
}

bool Files::write(const std::string& path, const std::string& bytes) {
    return writeAll(widen(path), bytes, false);
}

bool Files::replace(const std::string& path, const std::string& bytes) {
    const std::wstring target = widen(path);
    const std::wstring temporary = target + widen(std::string(platform::kReplaceSuffix));
    if (!writeAll(temporary, bytes, true)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool Files::rename(const std::string& from, const std::string& to) {
    return MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

bool Files::remove(const std::string& path) {
    return DeleteFileW(widen(path).c_str()) != 0;
}

bool Shell::anotherInstanceRunning() {
    if (instanceMutex_) {
        return false;
    }
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\Kolbrin.Instance");
    if (mutex == nullptr && GetLastError() == ERROR_ACCESS_DENIED) {
        // The name is there but not ours to open: an instance run as administrator holds it.
        return true;
    }
    if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return true;
    }
    instanceMutex_.reset(mutex);
    return false;
}

std::wstring folderOf(const std::wstring& exePath) {
    auto slash = exePath.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
        return exePath;
    }
    std::wstring folder = exePath.substr(0, slash);
    if (folder.size() == 2 && folder[1] == L':') {
        folder.push_back(L'\\');
    }
    return folder;
}

std::string Shell::exeFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            return narrow(folderOf(std::wstring(buffer.data(), n)));
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool Shell::notifyIcon(std::uint32_t message, const platform::IconData& data) {
    NOTIFYICONDATAA record{};
    record.cbSize = data.cbSize;
    record.hWnd = static_cast<HWND>(data.hWnd);
    record.uID = data.uID;
    record.uFlags = data.uFlags;
    record.uCallbackMessage = data.uCallbackMessage;
    record.hIcon = static_cast<HICON>(data.hIcon);
    memcpy(record.szTip, data.szTip, sizeof data.szTip);
    return Shell_NotifyIconA(message, &record) != 0;
}

bool Shell::setIconVersion(const platform::IconData& data, std::uint32_t version) {
    // The version field comes after the tip of the first record: the record of the second version
    // (Windows 2000) is the shortest that holds it. Only this request uses it; add and delete keep the
    // first record.
    NOTIFYICONDATAA record{};
    record.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record.hWnd = static_cast<HWND>(data.hWnd);
    record.uID = data.uID;
    record.uVersion = version;
    return Shell_NotifyIconA(NIM_SETVERSION, &record) != 0;
}

std::string helpFileArgument(const std::string& path) {
    const std::wstring wide = widen(path);
    // Without best-fit mapping a character the code page lacks becomes '?', which no file name holds, so
    // such a path can only be reported missing; a best-fit look-alike could name another file.
    auto toAnsi = [](const std::wstring& from, bool& lossless) {
        BOOL usedDefault = FALSE;
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, from.c_str(), -1, nullptr, 0, nullptr,
                                    &usedDefault);
        std::string out(n > 0 ? static_cast<std::size_t>(n) : 1u, '\0');
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, from.c_str(), -1, out.data(), n, nullptr,
                            &usedDefault);
        out.resize(out.size() - 1);
        lossless = n > 0 && !usedDefault;
        return out;
    };
    bool lossless = false;
    std::string ansi = toAnsi(wide, lossless);
    if (lossless) {
        return ansi;
    }
    // The file's short name is plain ASCII wherever the volume keeps short names.
    DWORD n = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (n > 0) {
        std::wstring shortPath(n, L'\0');
        n = GetShortPathNameW(wide.c_str(), shortPath.data(), n);
        shortPath.resize(n);
        bool shortLossless = false;
        std::string shortAnsi = toAnsi(shortPath, shortLossless);
        if (n > 0 && shortLossless) {
            return shortAnsi;
        }
    }
    return ansi;
}

void Shell::winHelp(const std::string& file, std::uint32_t command, std::uintptr_t data) {
    WinHelpA(nullptr, helpFileArgument(file).c_str(), command, data);
}

bool Shell::openDocument(const std::string& path) {
    const std::wstring wide = widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    // The program a document opens with may be reached through COM.
    enterComApartment();
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

}  // namespace win32
