// The operating-system services the program uses besides windows: files in the program folder, the
// notification-area icon, the help viewer and documents, the single-instance test and the executable's
// folder.
// platform/win32 realises them on Windows; platform/headless keeps them in memory for the tests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// What a read found. Only a file that is certainly not there is Missing: a file held by another program,
// one the user may not read, or an online-only copy that cannot be fetched is Unreadable, since it may
// well hold data that must not be replaced unread.
enum class ReadResult { Read, Missing, Unreadable };

// The temporary file a replace writes beside its target: the target's name with this added.
inline constexpr std::string_view kReplaceSuffix = ".new";

// Paths are UTF-8 in the program; the Windows side opens them through the wide file functions.
class Files {
  public:
    virtual ~Files() = default;
    // Hands the content to consume piece by piece, in order, until the file ends or consume returns
    // false (it needs no more). Read only when every piece wanted was handed over.
    virtual ReadResult read(const std::string& path,
                            const std::function<bool(std::string_view)>& consume) = 0;
    // Creates or truncates the file and writes the bytes; false when any step fails.
    virtual bool write(const std::string& path, const std::string& bytes) = 0;
    // Writes a temporary file beside the target and then replaces the target with it, so the target
    // holds either its old or its new content, never a part. False (target untouched) on failure.
    virtual bool replace(const std::string& path, const std::string& bytes) = 0;
    // Gives a file another name in the same folder; false (nothing changed) when it fails, also when a
    // file of the new name is there.
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    // False when the file could not be deleted (absent files included).
    virtual bool remove(const std::string& path) = 0;
};

// The notification-area record in its first version: the same fields in the same order as the
// shell's own, with handles at the width of the build (88 bytes in a 32-bit build).
struct IconData {
    std::uint32_t cbSize = 0;
    void* hWnd = nullptr;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    void* hIcon = nullptr;
    char szTip[64] = {};
};

// The shell's values, which the Windows side checks against its headers.
inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
// Asked for after each add: from version 3 on, the shell reports Enter and Space on the icon.
inline constexpr std::uint32_t kNotifyIconVersion = 3;
// The icon's callback message, and the mouse message the shell passes with it for a left-button press.
inline constexpr std::uint32_t kWmMouseMove = 512;
inline constexpr std::uint32_t kWmLButtonDown = 513;
// What a version-3 icon reports instead of a mouse message: Enter after a mouse selection, and Enter or
// Space when the icon was reached from the keyboard.
inline constexpr std::uint32_t kNinSelect = 0x400;
inline constexpr std::uint32_t kNinKeySelect = 0x401;
inline constexpr std::uint32_t kHelpContents = 3;

class Shell {
  public:
    virtual ~Shell() = default;
    // Whether another instance of the program runs. The first instance holds the answer "no" for as
    // long as it lives, however often it asks.
    virtual bool anotherInstanceRunning() = 0;
    // The folder of the running executable, as the system reports it (a drive's root ends in "\").
    virtual std::string exeFolder() = 0;
    // Shell_NotifyIconA; true when the shell accepted the request.
    virtual bool notifyIcon(std::uint32_t message, const IconData& data) = 0;
    // Asks the shell to treat the icon (hWnd and uID of `data`) by the rules of that version; the one
    // request that needs the longer record of later versions. True when the shell accepted it.
    virtual bool setIconVersion(const IconData& data, std::uint32_t version) = 0;
    // WinHelpA with no owner window.
    virtual void winHelp(const std::string& file, std::uint32_t command, std::uintptr_t data) = 0;
    // Opens a document with the program associated with its kind, as a double-click in Explorer does.
    // False when the file does not exist or the shell could not open it.
    virtual bool openDocument(const std::string& path) = 0;
};

}  // namespace platform
