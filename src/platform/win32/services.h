// Files, the notification-area icon, the help viewer and documents, the instance test and the executable's
// folder, through the system's own calls.
#pragma once

#include <windows.h>

#include "platform/services.h"
#include "platform/win32/handles.h"

namespace win32 {

class Files : public platform::Files {
  public:
    platform::ReadResult read(const std::string& path,
                              const std::function<bool(std::string_view)>& consume) override;
    bool write(const std::string& path, const std::string& bytes) override;
    bool replace(const std::string& path, const std::string& bytes) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& path) override;
};

class Shell : public platform::Shell {
  public:
    bool anotherInstanceRunning() override;
    std::string exeFolder() override;
    bool notifyIcon(std::uint32_t message, const platform::IconData& data) override;
    bool setIconVersion(const platform::IconData& data, std::uint32_t version) override;
    void winHelp(const std::string& file, std::uint32_t command, std::uintptr_t data) override;
    bool openDocument(const std::string& path) override;

  private:
    // Held for the life of the process: its name existing is what tells a second instance.
    UniqueHandle instanceMutex_;
};

// What a failed open of a file means, from the system's error code.
platform::ReadResult readFailure(DWORD error);

// The folder part of an executable's full path, as the system reports folders: "C:\Tools" for
// "C:\Tools\k.exe", and "C:\" (the root keeps its backslash) for "C:\k.exe".
std::wstring folderOf(const std::wstring& exePath);

// A path for the help viewer's ANSI call: in the system code page, or as the file's short name where the
// code page lacks a character of it. Never a best-fit look-alike, which could name another file.
std::string helpFileArgument(const std::string& path);

}  // namespace win32
