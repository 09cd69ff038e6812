#include "e2e/driver.h"

#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <stdexcept>
#include <thread>

#include "ui/scale.h"

namespace e2e {

namespace {

constexpr int kFirstControlId = 100;  // the Win32 backend's numbering of a design's controls
const std::wstring kRoot = L"C:\\kolbrin-e2e\\";

std::wstring exePath() {
    wchar_t buffer[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::wstring(buffer, n);
}

// Runs a program of the machine under Wine (a Unix path) and waits for it.
void runUnix(const std::wstring& commandLine) {
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::wstring cmd = commandLine;
    if (CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

std::string unixPath(const std::wstring& windowsPath) {
    using ToUnix = char* (*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) {
        return {};
    }
    char* p = toUnix(windowsPath.c_str());
    std::string out = p ? p : "";
    HeapFree(GetProcessHeap(), 0, p);
    return out;
}

void setImmutable(const std::wstring& folder, bool on) {
    std::string path = unixPath(folder);
    if (!path.empty()) {
        runUnix(L"Z:\\usr\\bin\\chattr " + std::wstring(on ? L"+i " : L"-i ") + L"\"" + widen(path) + L"\"");
    }
}

void removeTree(const std::wstring& folder) {
    // A first run has nothing to remove, and chattr would complain about the missing folder.
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    setImmutable(folder, false);
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            std::wstring path = folder + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path + L"\\");
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

HWND findWindowOf(DWORD pid, const std::wstring& className, bool mustBeVisible) {
    auto found = topWindows(pid, className);
    if (found.empty() || (mustBeVisible && !IsWindowVisible(found.front()))) {
        return nullptr;
    }
    return found.front();
}

void send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    std::this_thread::sleep_for(60ms);
}

INPUT key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

INPUT mouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    return in;
}

}  // namespace

std::vector<HWND> topWindows(DWORD pid, const std::wstring& className) {
    struct Args {
        DWORD pid;
        const std::wstring& className;
        std::vector<HWND> found;
    } args{pid, className, {}};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* a = reinterpret_cast<Args*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            wchar_t cls[128];
            GetClassNameW(h, cls, 128);
            if (owner == a->pid && a->className == cls) {
                a->found.push_back(h);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&args));
    return args.found;
}

HWND visibleTooltip(DWORD pid) {
    for (HWND h : topWindows(pid, TOOLTIPS_CLASSW)) {
        if (IsWindowVisible(h)) {
            return h;
        }
    }
    return nullptr;
}

int patience() {
    static const int factor = [] {
        wchar_t value[16] = {};
        DWORD n = GetEnvironmentVariableW(L"KOLBRIN_E2E_PATIENCE", value, 16);
        int read = n > 0 && n < 16 ? _wtoi(value) : 1;
        return read > 1 ? read : 1;
    }();
    return factor;
}

bool waitUntil(const std::function<bool()>& condition, Millis timeout) {
    auto end = std::chrono::steady_clock::now() + timeout * patience();
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return condition();
        }
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

std::wstring buildFolder() {
    std::wstring path = exePath();
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

ProgramFolder::ProgramFolder(const std::string& name, bool withHelp) : path_(kRoot + widen(name) + L"\\") {
    CreateDirectoryW(kRoot.c_str(), nullptr);
    removeTree(path_);
    if (!CreateDirectoryW(path_.c_str(), nullptr)) {
        throw std::runtime_error("cannot create " + narrow(path_));
    }
    if (!CopyFileW((buildFolder() + L"Kolbrin.exe").c_str(), (path_ + L"Kolbrin.exe").c_str(), FALSE)) {
        throw std::runtime_error("cannot copy Kolbrin.exe");
    }
    if (withHelp) {
        CopyFileW((buildFolder() + L"palvo.hlp").c_str(), (path_ + L"palvo.hlp").c_str(), FALSE);
        CopyFileW((buildFolder() + L"palvo.html").c_str(), (path_ + L"palvo.html").c_str(), FALSE);
    }
}

ProgramFolder::ProgramFolder(const std::string& name, const std::wstring& zip)
    : path_(kRoot + widen(name) + L"\\Kolbrin\\") {
    std::wstring target = kRoot + widen(name) + L"\\";
    CreateDirectoryW(kRoot.c_str(), nullptr);
    removeTree(target);
    if (!CreateDirectoryW(target.c_str(), nullptr)) {
        throw std::runtime_error("cannot create " + narrow(target));
    }
    // CMake's own unpacker reads the zip as any unzip program does. Wine may report a Unix program ended
    // as soon as it has started it, so a mark beside the folder says when the unpacking is over.
    std::wstring done = target + L"unpacked";
    runUnix(L"Z:\\bin\\sh -c \"cd '" + widen(unixPath(target)) + L"' && /usr/bin/cmake -E tar xf '" +
            widen(unixPath(zip)) + L"' && touch unpacked\"");
    if (!waitUntil([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }) ||
        !exists("Kolbrin.exe")) {
        throw std::runtime_error("the download did not unpack to " + narrow(path_));
    }
}

std::optional<std::string> ProgramFolder::read(const std::string& name) const {
    HANDLE f =
        CreateFileW(file(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string out;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        out.append(buffer, got);
    }
    CloseHandle(f);
    return out;
}

void ProgramFolder::write(const std::string& name, const std::string& bytes) const {
    HANDLE f = CreateFileW(file(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

bool ProgramFolder::exists(const std::string& name) const {
    return GetFileAttributesW(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void ProgramFolder::denyWrites() const {
    setImmutable(path_, true);
    writesDenied_ = true;
}

ProgramFolder::~ProgramFolder() {
    // An unchangeable folder left behind would make the build folder impossible to delete.
    if (writesDenied_) {
        setImmutable(path_, false);
    }
}

Kolbrin::Kolbrin(const ProgramFolder& folder, const std::wstring& workingFolder) {
    STARTUPINFOW si{sizeof si};
    std::wstring exe = folder.path() + L"Kolbrin.exe";
    std::wstring cmd = L"\"" + exe + L"\"";
    const std::wstring& current = workingFolder.empty() ? folder.path() : workingFolder;
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, current.c_str(), &si,
                        &process_)) {
        throw std::runtime_error("cannot start Kolbrin.exe");
    }
    pid_ = process_.dwProcessId;
    WaitForInputIdle(process_.hProcess, 10000 * patience());
}

Kolbrin::~Kolbrin() {
    if (running()) {
        // Closing the main window is the program's own way out: it takes its tray icon with it.
        if (HWND main = window("Form1")) {
            PostMessageW(main, WM_CLOSE, 0, 0);
        }
        if (!waitForExit(3s)) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 5000);
            // The taskbar drops the icon of a program that died once the pointer passes over it.
            moveTo(trayIconPoint());
            std::this_thread::sleep_for(300ms);
            moveTo(POINT{trayIconPoint().x - 200, trayIconPoint().y - 300});
        }
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    waitUntil([] { return !trayShowsAnIcon(); }, 3s);
}

bool Kolbrin::running() const {
    return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Kolbrin::waitForExit(Millis timeout) const {
    return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count() * patience())) ==
           WAIT_OBJECT_0;
}

DWORD Kolbrin::exitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

HWND Kolbrin::window(const std::string& form) const {
    return findWindowOf(pid_, L"Kolbrin." + widen(form), false);
}

HWND Kolbrin::waitForWindow(const std::string& form, bool visible, Millis timeout) const {
    HWND found = nullptr;
    waitUntil(
        [&] {
            found = findWindowOf(pid_, L"Kolbrin." + widen(form), visible);
            return found != nullptr;
        },
        timeout);
    return found;
}

bool Kolbrin::visible(const std::string& form) const {
    HWND h = window(form);
    return h != nullptr && IsWindowVisible(h);
}

HWND Kolbrin::messageBox() const {
    return findWindowOf(pid_, L"#32770", true);
}

HWND Kolbrin::waitForMessageBox(Millis timeout) const {
    HWND box = nullptr;
    waitUntil(
        [&] {
            box = messageBox();
            return box != nullptr;
        },
        timeout);
    return box;
}

void Kolbrin::waitIdle() const {
    waitUntil([&] { return window("Form1") != nullptr || !running(); });
    WaitForInputIdle(process_.hProcess, 5000 * patience());
    std::this_thread::sleep_for(200ms);
}

HWND control(HWND form, int designIndex) {
    // A control in a frame is the frame's child.
    struct Search {
        int id;
        HWND found = nullptr;
    } search{kFirstControlId + designIndex};
    EnumChildWindows(
        form,
        [](HWND child, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (GetDlgCtrlID(child) == s->id) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring text(HWND window) {
    int n = static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring out(static_cast<std::size_t>(n) + 1, L'\0');
    SendMessageW(window, WM_GETTEXT, n + 1, reinterpret_cast<LPARAM>(out.data()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

SIZE clientSize(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

RECT childRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetAncestor(child, GA_ROOT), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool checked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring messageText(HWND box) {
    return text(GetDlgItem(box, 0xFFFF));
}

bool isPlainMessage(HWND box, const std::wstring& message, std::initializer_list<int> buttons) {
    bool ok = messageText(box) == message && text(box) == L"Kolbrin" && !hasIcon(box);
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
        bool wanted = std::find(buttons.begin(), buttons.end(), id) != buttons.end();
        ok = ok && hasButton(box, id) == wanted;
    }
    return ok && defaultButton(box) == *buttons.begin();
}

bool hasButton(HWND box, int id) {
    HWND b = GetDlgItem(box, id);
    return b != nullptr && IsWindowVisible(b);
}

bool hasIcon(HWND box) {
    HWND icon = GetDlgItem(box, 0x14);
    return icon != nullptr && IsWindowVisible(icon) && SendMessageW(icon, STM_GETICON, 0, 0) != 0;
}

int defaultButton(HWND box) {
    for (int id : {IDOK, IDYES, IDNO, IDCANCEL}) {
        HWND b = GetDlgItem(box, id);
        if (b != nullptr && (GetWindowLongW(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            return id;
        }
    }
    return 0;
}

// Mouse events in absolute coordinates, as a real mouse reports them: each carries its position.
INPUT mouseAt(POINT screen, DWORD flags) {
    INPUT in = mouse(flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE);
    in.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    in.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    return in;
}

void moveTo(POINT screen) {
    send({mouseAt(screen, 0)});
}

void clickAt(POINT screen, bool right) {
    moveTo(screen);
    std::this_thread::sleep_for(100ms);
    send({mouseAt(screen, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN)});
    send({mouseAt(screen, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)});
    // Keep clicks apart so that the next one is never taken as the second half of a double-click.
    std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 50));
}

void doubleClickAt(POINT screen) {
    moveTo(screen);
    send({mouseAt(screen, MOUSEEVENTF_LEFTDOWN), mouseAt(screen, MOUSEEVENTF_LEFTUP),
          mouseAt(screen, MOUSEEVENTF_LEFTDOWN), mouseAt(screen, MOUSEEVENTF_LEFTUP)});
    std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 50));
}

void click(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    clickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void pressWithAlt(WORD vk) {
    send({key(VK_MENU, false), key(vk, false), key(vk, true), key(VK_MENU, true)});
    std::this_thread::sleep_for(100ms);
}

void pressKey(WORD vk) {
    send({key(vk, false), key(vk, true)});
    std::this_thread::sleep_for(100ms);
}

void chooseMenu(HWND form, char topMnemonic, int entry) {
    SetForegroundWindow(form);
    std::this_thread::sleep_for(200ms);
    // Alt with the menu's letter opens it with its first entry selected; separators are stepped over.
    pressWithAlt(static_cast<WORD>(topMnemonic));
    std::this_thread::sleep_for(300ms);
    for (int i = 0; i < entry; ++i) {
        pressKey(VK_DOWN);
    }
    pressKey(VK_RETURN);
    std::this_thread::sleep_for(200ms);
}

void typeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wScan = c;
        down.ki.dwFlags = KEYEVENTF_UNICODE;
        INPUT up = down;
        up.ki.dwFlags |= KEYEVENTF_KEYUP;
        send({down, up});
    }
}

POINT trayIconPoint() {
    HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    RECT r{};
    GetWindowRect(tray, &r);
    // The taskbar puts the notification icons at its right end, the newest leftmost.
    return POINT{r.right - 11, (r.top + r.bottom) / 2};
}

bool trayShowsAnIcon(int slot) {
    POINT p = trayIconPoint();
    int step = GetSystemMetrics(SM_CXSMICON) + 6;
    HDC screen = GetDC(nullptr);
    // The taskbar's own colour, from a place where neither buttons nor icons are drawn.
    COLORREF face = GetPixel(screen, p.x - 150, p.y);
    int differing = 0;
    for (int dy = -6; dy <= 6; dy += 2) {
        for (int dx = -6; dx <= 6; dx += 2) {
            differing += GetPixel(screen, p.x - slot * step + dx, p.y + dy) != face;
        }
    }
    ReleaseDC(nullptr, screen);
    return differing > 8;
}

Pixels capture(HDC from, RECT r) {
    Pixels p{r.right - r.left, r.bottom - r.top, {}};
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, p.width, p.height, from, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* bgra = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < p.width * p.height; ++i) {
        std::uint32_t v = bgra[i];
        p.at.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return p;
}

Pixels screenPixels(const RECT& area) {
    HDC screen = GetDC(nullptr);
    Pixels p = capture(screen, area);
    ReleaseDC(nullptr, screen);
    return p;
}

void screenshot(const std::string& name) {
    std::wstring folder = kRoot + L"shots\\";
    CreateDirectoryW(kRoot.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DWORD stride = ((w * 3 + 3) / 4) * 4, size = stride * h;
    BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + size), 0, 0,
                        sizeof fh + sizeof bi.bmiHeader};
    HANDLE f = CreateFileW((folder + widen(name) + L".bmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           0, nullptr);
    DWORD written;
    WriteFile(f, &fh, sizeof fh, &written, nullptr);
    WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &written, nullptr);
    WriteFile(f, bits, size, &written, nullptr);
    CloseHandle(f);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

int screenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int passDpi() {
    wchar_t value[16] = {};
    DWORD n = GetEnvironmentVariableW(L"KOLBRIN_E2E_DPI", value, 16);
    return n > 0 && n < 16 ? _wtoi(value) : 96;
}

int scaled(int pixelsAt96) {
    return ui::Scale(ui::Unit::Pixels, screenDpi()).pixels(pixelsAt96);
}

int dpiColumn() {
    switch (screenDpi()) {
        case 96:
            return 0;
        case 120:
            return 1;
        case 144:
            return 2;
    }
    throw std::runtime_error("no values written for " + std::to_string(screenDpi()) + " dpi");
}

SIZE atScreenDpi(SIZE at96, SIZE at120, SIZE at144) {
    const SIZE at[] = {at96, at120, at144};
    return at[dpiColumn()];
}

HWND focusIn(HWND window) {
    GUITHREADINFO info{sizeof info};
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

HeldFile::HeldFile(const std::wstring& path, DWORD share)
    : handle_(
          CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS, 0, nullptr)) {}

HeldFile::~HeldFile() {
    release();
}

void HeldFile::release() {
    if (held()) {
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
}

void removeTrayIcon(HWND owner, UINT id) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = owner;
    data.uID = id;
    Shell_NotifyIconW(NIM_DELETE, &data);
}

void broadcastTaskbarCreated() {
    SendNotifyMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
}

int topWindowCount(DWORD pid) {
    struct Args {
        DWORD pid;
        int count;
    } args{pid, 0};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* a = reinterpret_cast<Args*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            a->count += owner == a->pid;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&args));
    return args.count;
}

SIZE_T privateBytes(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    PROCESS_MEMORY_COUNTERS counters{};
    bool ok = process != nullptr && GetProcessMemoryInfo(process, &counters, sizeof counters);
    if (process != nullptr) {
        CloseHandle(process);
    }
    // The commit charge: the private bytes. Wine fills it (from the process's anonymous memory) but
    // leaves the newer PrivateUsage field, which says the same on Windows, at zero.
    return ok ? counters.PagefileUsage : 0;
}

}  // namespace e2e
