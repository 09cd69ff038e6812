// Driving the real Kolbrin.exe the way a user and the system can: a fresh program folder, the process,
// its windows found by class and read back with WM_GETTEXT, real mouse and keyboard input through
// SendInput, the tray icon clicked in the taskbar, files on disk.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/text.h"

namespace e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// How many times longer than usual every wait may take: KOLBRIN_E2E_PATIENCE, for a program that runs
// under emulation (scripts/test32.sh); 1 when unset.
int patience();

// Polls until the condition holds or the time is up (times the patience); returns the condition's last
// answer.
bool waitUntil(const std::function<bool()>& condition, Millis timeout = 10s);

using win32::narrow;
using win32::widen;

// The top-level windows of a process with a window class, and the tooltip it shows, if any.
std::vector<HWND> topWindows(DWORD pid, const std::wstring& className);
HWND visibleTooltip(DWORD pid);

// The folder of this test program; Kolbrin.exe and palvo.hlp are built beside it.
std::wstring buildFolder();

class ProgramFolder {
  public:
    // A new, empty folder C:\kolbrin-e2e\<name>\ holding a copy of Kolbrin.exe (and the help file and
    // the web-page guide).
    explicit ProgramFolder(const std::string& name, bool withHelp = false);
    // A new, empty folder C:\kolbrin-e2e\<name>\ with a download (a zip file) unpacked into it, as a user
    // does: the program folder is then the download's own folder Kolbrin\ inside it.
    ProgramFolder(const std::string& name, const std::wstring& zip);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;
    const std::wstring& path() const { return path_; }  // ends in "\"
    std::wstring file(const std::string& name) const { return path_ + widen(name); }
    std::optional<std::string> read(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;
    bool exists(const std::string& name) const;
    // Marks the folder read-only for the program: new files cannot be created in it.
    void denyWrites() const;

  private:
    std::wstring path_;
    mutable bool writesDenied_ = false;
};

// One running Kolbrin.exe.
class Kolbrin {
  public:
    // Started as from a shortcut whose working folder is `workingFolder` (the program folder when empty).
    explicit Kolbrin(const ProgramFolder& folder, const std::wstring& workingFolder = {});
    ~Kolbrin();
    Kolbrin(const Kolbrin&) = delete;
    Kolbrin& operator=(const Kolbrin&) = delete;

    DWORD pid() const { return pid_; }
    bool running() const;
    bool waitForExit(Millis timeout = 10s) const;
    DWORD exitCode() const;

    // A top-level window of this process by its form name ("Form1" ...), whether visible or not.
    HWND window(const std::string& form) const;
    HWND waitForWindow(const std::string& form, bool visible = true, Millis timeout = 10s) const;
    bool visible(const std::string& form) const;
    // The process's message box, if one is up.
    HWND messageBox() const;
    HWND waitForMessageBox(Millis timeout = 10s) const;
    // Waits until start-up is over: the tray icon's window exists and no message box is waiting.
    void waitIdle() const;

  private:
    PROCESS_INFORMATION process_{};
    DWORD pid_ = 0;
};

// A control of a form window by its position in the form's design (the backend numbers them so).
HWND control(HWND form, int designIndex);
std::wstring text(HWND window);
// A window's client size, and a child's rectangle in its window's client coordinates (also inside a frame).
SIZE clientSize(HWND window);
RECT childRect(HWND child);
bool checked(HWND button);

// Message boxes: text, caption and buttons.
std::wstring messageText(HWND box);
bool hasButton(HWND box, int id);
bool hasIcon(HWND box);
int defaultButton(HWND box);
// The program's own kind of message: this text, caption "Kolbrin", no icon, exactly these buttons with the
// first one the default.
bool isPlainMessage(HWND box, const std::wstring& message, std::initializer_list<int> buttons);

// Real input.
void moveTo(POINT screen);
void clickAt(POINT screen, bool right = false);
void doubleClickAt(POINT screen);
void click(HWND window);  // the centre of a window
void pressKey(WORD vk);
void pressWithAlt(WORD vk);  // Alt held while the key is pressed: Alt+F4, Alt+S ...
// Opens a menu of the menu bar with Alt and its letter, then chooses an entry by its place in the
// menu, counting entries only (separators are not counted).
void chooseMenu(HWND form, char topMnemonic, int entry);
void typeText(const std::wstring& text);

// The notification area: where the (one) icon sits at the taskbar's right end.
POINT trayIconPoint();
bool trayShowsAnIcon(int slot = 0);  // slot 0 is the rightmost

// Pixels of a rectangle, row by row: of the screen, or of a memory DC.
struct Pixels {
    int width = 0, height = 0;
    std::vector<COLORREF> at;
    COLORREF operator()(int x, int y) const { return at[static_cast<std::size_t>(y * width + x)]; }
};
Pixels capture(HDC from, RECT r);
// What the screen shows in a rectangle (screen coordinates), whichever process painted it.
Pixels screenPixels(const RECT& area);

// Saves the desktop as C:\kolbrin-e2e\shots\<name>.bmp.
void screenshot(const std::string& name);

int screenDpi();
// A length in pixels at 96 dpi at the screen's DPI, by the program's own scale.
int scaled(int pixelsAt96);
// Of values written from the design for 96, 120 and 144 dpi, the column (0, 1, 2) or the one for the
// screen's DPI; throws at any other DPI.
int dpiColumn();
SIZE atScreenDpi(SIZE at96, SIZE at120, SIZE at144);
// The DPI this run of the tests was started for (KOLBRIN_E2E_DPI, 96 when unset); the layout tests run
// once at each DPI the test script sets.
int passDpi();

// The window that has the keyboard focus in the thread of `window` (another process's focus is not
// visible to GetFocus).
HWND focusIn(HWND window);

// Another program's hold on a file: opened for reading and writing without sharing (created with these
// bytes when missing), so nobody else can open, replace or delete it until the hold ends.
class HeldFile {
  public:
    // `share`: what the holder lets others do meanwhile (nothing, by default).
    explicit HeldFile(const std::wstring& path, DWORD share = 0);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void release();

  private:
    HANDLE handle_;
};

// What a restarted shell does: the notification area forgets the icons, then "TaskbarCreated" goes to
// every top-level window.
void removeTrayIcon(HWND owner, UINT id = 0);
void broadcastTaskbarCreated();

// Every top-level window of a process, visible or not, and the process's private bytes.
int topWindowCount(DWORD pid);
SIZE_T privateBytes(DWORD pid);

}  // namespace e2e
