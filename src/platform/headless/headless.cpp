#include "platform/headless/headless.h"

#include <algorithm>
#include <cstring>

namespace headless {

namespace {

class Peer : public ui::WindowPeer {
  public:
    Peer(Backend& backend, ui::Form& form) : backend_(backend), form_(form) {
        backend_.trace().push_back("load " + form.name());
    }
    ~Peer() override {
        backend_.forget(form_);
        backend_.trace().push_back("unload " + form_.name());
    }
    void setVisible(bool visible) override {
        backend_.trace().push_back((visible ? "show " : "hide ") + form_.name());
    }
    void activate() override { backend_.countActivation(form_); }
    void restore() override { backend_.countRestore(form_); }
    void controlChanged(const ui::Control&) override {}
    void timerChanged(const ui::Timer& timer) override {
        if (timer.running()) {
            backend_.schedule(form_, timer);
        } else {
            backend_.unschedule(&timer);
        }
    }
    void iconChanged() override {}
    std::uintptr_t nativeHandle(const ui::Control& control) const override {
        return reinterpret_cast<std::uintptr_t>(&control);
    }

  private:
    Backend& backend_;
    ui::Form& form_;
};

std::string fileName(const std::string& path) {
    auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::unique_ptr<ui::WindowPeer> Backend::createPeer(ui::Form& form) {
    return std::make_unique<Peer>(*this, form);
}

void Backend::retirePeer(std::unique_ptr<ui::WindowPeer> peer) {
    peer.reset();
}

ui::MessageAnswer Backend::messageBox(const std::string& text, ui::MessageButtons buttons) {
    trace_.push_back("message " + text);
    messages_.push_back({text, buttons});
    if (answers_.empty()) {
        return buttons == ui::MessageButtons::Ok ? ui::MessageAnswer::Ok : ui::MessageAnswer::Yes;
    }
    Scripted next = std::move(answers_.front());
    answers_.pop_front();
    if (next.whileOpen) {
        next.whileOpen();
    }
    return next.answer;
}

void Backend::endProgram() {
    trace_.push_back("end");
    ended_ = true;
    timers_.clear();
    throw ProgramEnded{};
}

void Backend::answer(ui::MessageAnswer answer, std::function<void()> whileOpen) {
    answers_.push_back({answer, std::move(whileOpen)});
}

void Backend::schedule(ui::Form& form, const ui::Timer& timer) {
    unschedule(&timer);
    timers_.push_back({&form, &timer, now_ + timer.intervalMs});
}

void Backend::unschedule(const ui::Timer* timer) {
    std::erase_if(timers_, [timer](const Scheduled& s) { return s.timer == timer; });
}

void Backend::forget(ui::Form& form) {
    std::erase_if(timers_, [&form](const Scheduled& s) { return s.form == &form; });
}

void Backend::advance(long long ms) {
    const long long until = now_ + ms;
    while (!ended_) {
        auto next = std::min_element(timers_.begin(), timers_.end(),
                                     [](const Scheduled& a, const Scheduled& b) { return a.due < b.due; });
        if (next == timers_.end() || next->due > until) {
            break;
        }
        now_ = next->due;
        ui::Form* form = next->form;
        const ui::Timer* timer = next->timer;
        next->due += timer->intervalMs;
        form->userTimer(form->timerAt(timer->designIndex));
    }
    if (!ended_) {
        now_ = until;
    }
}

int Backend::activations(const ui::Form& form) const {
    auto it = activations_.find(&form);
    return it == activations_.end() ? 0 : it->second;
}

int Backend::restores(const ui::Form& form) const {
    auto it = restores_.find(&form);
    return it == restores_.end() ? 0 : it->second;
}

bool Files::writable(const std::string& path) const {
    return !readOnly && !directories.contains(path) && !locked.contains(path);
}

platform::ReadResult Files::read(const std::string& path,
                                 const std::function<bool(std::string_view)>& consume) {
    trace_.push_back("read " + fileName(path));
    if (directories.contains(path) || locked.contains(path)) {
        return platform::ReadResult::Unreadable;
    }
    auto it = content.find(path);
    if (it == content.end()) {
        return platform::ReadResult::Missing;
    }
    std::string_view rest = it->second;
    // A failing read hands over the first half of the file before the error.
    std::size_t failAt = failingReads.contains(path) ? rest.size() / 2 : rest.size() + 1;
    std::size_t handed = 0;
    while (!rest.empty()) {
        std::string_view piece = rest.substr(0, std::min(pieceSize, failAt - handed));
        if (piece.empty()) {
            return platform::ReadResult::Unreadable;
        }
        rest.remove_prefix(piece.size());
        handed += piece.size();
        bytesHandedOver += piece.size();
        if (!consume(piece)) {
            break;
        }
    }
    return handed >= failAt ? platform::ReadResult::Unreadable : platform::ReadResult::Read;
}

bool Files::write(const std::string& path, const std::string& bytes) {
    trace_.push_back("write " + fileName(path));
    if (!writable(path)) {
        return false;
    }
    content[path] = bytes;
    return true;
}

bool Files::replace(const std::string& path, const std::string& bytes) {
    trace_.push_back("replace " + fileName(path));
    if (!writable(path) || failReplaceOnly) {
        return false;
    }
    content[path] = bytes;
    return true;
}

bool Files::rename(const std::string& from, const std::string& to) {
    trace_.push_back("rename " + fileName(from) + " " + fileName(to));
    auto it = content.find(from);
    if (it == content.end() || !writable(from) || !writable(to) || content.contains(to)) {
        return false;
    }
    content[to] = std::move(it->second);
    content.erase(from);
    return true;
}

bool Files::remove(const std::string& path) {
    trace_.push_back("delete " + fileName(path));
    if (!writable(path)) {
        return false;
    }
    return content.erase(path) > 0;
}

bool Shell::anotherInstanceRunning() {
    return otherInstance;
}

bool Shell::notifyIcon(std::uint32_t message, const platform::IconData& data) {
    auto same = [&data](const platform::IconData& icon) {
        return icon.hWnd == data.hWnd && icon.uID == data.uID;
    };
    if (message == platform::kNimAdd) {
        trace_.push_back("tray add");
        if (!shellReady || std::any_of(icons.begin(), icons.end(), same)) {
            return false;
        }
        icons.push_back(data);
        return !addReportedFailed;
    }
    if (message == platform::kNimModify) {
        trace_.push_back("tray modify");
        return shellReady && std::any_of(icons.begin(), icons.end(), same);
    }
    if (message == platform::kNimDelete) {
        trace_.push_back("tray delete");
        return std::erase_if(icons, same) > 0;
    }
    return false;
}

bool Shell::setIconVersion(const platform::IconData& data, std::uint32_t version) {
    trace_.push_back("tray version " + std::to_string(version));
    return shellReady && std::any_of(icons.begin(), icons.end(), [&data](const platform::IconData& icon) {
               return icon.hWnd == data.hWnd && icon.uID == data.uID;
           });
}

void Shell::winHelp(const std::string& file, std::uint32_t command, std::uintptr_t data) {
    trace_.push_back("help " + file);
    helpCalls.push_back(file + " " + std::to_string(command) + " " + std::to_string(data));
}

bool Shell::openDocument(const std::string& path) {
    if (documents.count(path) == 0) {
        return false;
    }
    trace_.push_back("open " + path);
    openedDocuments.push_back(path);
    return true;
}

}  // namespace headless
