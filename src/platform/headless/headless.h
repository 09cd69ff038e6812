// An in-memory realisation of the windows and services, for the native tests: a virtual clock drives
// the timers, message boxes take scripted answers, files live in a map, and every effect is written to a
// trace so that tests can check the order in which things happened.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/services.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace headless {

// Thrown by endProgram: the process would be gone at that point, so nothing after it may run.
struct ProgramEnded {};

using Trace = std::vector<std::string>;

struct ShownMessage {
    std::string text;
    ui::MessageButtons buttons;
};

class Backend : public ui::Backend {
  public:
    explicit Backend(Trace& trace) : trace_(trace) {}

    std::unique_ptr<ui::WindowPeer> createPeer(ui::Form& form) override;
    void retirePeer(std::unique_ptr<ui::WindowPeer> peer) override;
    ui::MessageAnswer messageBox(const std::string& text, ui::MessageButtons buttons) override;
    std::uintptr_t mainIconHandle() override { return 0x1c0; }
    [[noreturn]] void endProgram() override;

    // The next message box gets this answer; `whileOpen` runs as if the user or a timer acted while the
    // box was up. Boxes without a scripted answer get their default button, as if Enter were pressed.
    void answer(ui::MessageAnswer answer, std::function<void()> whileOpen = {});
    const std::vector<ShownMessage>& messages() const { return messages_; }

    // Runs the timers due in the next `ms` milliseconds, in time order.
    void advance(long long ms);
    long long now() const { return now_; }
    bool ended() const { return ended_; }

    // Bookkeeping of the peers, for the peers themselves.
    void schedule(ui::Form& form, const ui::Timer& timer);
    void unschedule(const ui::Timer* timer);
    void forget(ui::Form& form);
    Trace& trace() { return trace_; }
    int activations(const ui::Form& form) const;
    int restores(const ui::Form& form) const;
    void countActivation(const ui::Form& form) { ++activations_[&form]; }
    void countRestore(const ui::Form& form) { ++restores_[&form]; }

  private:
    struct Scheduled {
        ui::Form* form;
        const ui::Timer* timer;
        long long due;
    };
    struct Scripted {
        ui::MessageAnswer answer;
        std::function<void()> whileOpen;
    };

    Trace& trace_;
    long long now_ = 0;
    bool ended_ = false;
    std::vector<Scheduled> timers_;
    std::deque<Scripted> answers_;
    std::vector<ShownMessage> messages_;
    std::map<const ui::Form*, int> activations_;
    std::map<const ui::Form*, int> restores_;
};

class Files : public platform::Files {
  public:
    explicit Files(Trace& trace) : trace_(trace) {}

    platform::ReadResult read(const std::string& path,
                              const std::function<bool(std::string_view)>& consume) override;
    bool write(const std::string& path, const std::string& bytes) override;
    bool replace(const std::string& path, const std::string& bytes) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& path) override;

    // The stored files; tests may put and inspect content here directly.
    std::map<std::string, std::string> content;
    std::set<std::string> directories;   // paths that are folders: no file operation succeeds on them
    std::set<std::string> locked;        // files another program holds open without sharing
    std::set<std::string> failingReads;  // files that open but fail part-way (an online-only copy offline)
    bool readOnly = false;               // the folder refuses every change
    bool failReplaceOnly = false;        // the temporary file is written but the final replace fails
    std::size_t pieceSize = 4096;        // how much of a file one piece of a read hands over
    std::size_t bytesHandedOver = 0;     // by the reads so far

  private:
    bool writable(const std::string& path) const;
    Trace& trace_;
};

class Shell : public platform::Shell {
  public:
    explicit Shell(Trace& trace) : trace_(trace) {}

    bool anotherInstanceRunning() override;
    std::string exeFolder() override { return folder; }
    bool notifyIcon(std::uint32_t message, const platform::IconData& data) override;
    bool setIconVersion(const platform::IconData& data, std::uint32_t version) override;
    void winHelp(const std::string& file, std::uint32_t command, std::uintptr_t data) override;
    bool openDocument(const std::string& path) override;

    std::string folder = "C:\\Kolbrin";
    bool otherInstance = false;
    bool shellReady = true;
    // The shell takes an added icon but reports the add failed, as Explorer can while it starts.
    bool addReportedFailed = false;
    std::vector<platform::IconData> icons;  // the icons the notification area shows now
    std::vector<std::string> helpCalls;
    std::set<std::string> documents;  // the files openDocument finds
    std::vector<std::string> openedDocuments;

  private:
    Trace& trace_;
};

}  // namespace headless
