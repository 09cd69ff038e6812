// A whole program on the headless backend, driven the way a user would drive the real one.
#pragma once

#include <string>
#include <string_view>

#include "app/program.h"
#include "platform/headless/headless.h"

namespace testing_support {

inline constexpr const char* kFolder = "C:\\Kolbrin";
inline const std::string kSettingsPath = std::string(kFolder) + "\\1.dat";

struct HeadlessApp {
    headless::Trace trace;
    headless::Backend backend{trace};
    headless::Files files{trace};
    headless::Shell shell{trace};
    app::Program program{backend, files, shell};

    // Runs an action of the program; returns false when the program ended during it.
    template <typename F>
    bool run(F&& action) {
        try {
            action();
            return true;
        } catch (const headless::ProgramEnded&) {
            return false;
        }
    }

    bool start() {
        return run([this] { program.start(); });
    }
    bool click(ui::Form& form, std::string_view control, int index = ui::kNoIndex) {
        return run([&] { form.userClicked(form.control(control, index)); });
    }
    bool menu(std::string_view item) {
        return run([&] { program.form1.userMenu(item); });
    }
    bool close(ui::Form& form) {
        return run([&] { form.userClose(); });
    }
    // The shell's notification for a mouse message on the tray icon, as picRespond receives it.
    bool tray(int mouseMessage) {
        return run([&] {
            auto& form1 = program.form1;
            form1.userMouseMove(form1.control("picRespond"), 0, 0, static_cast<float>(mouseMessage), 0);
        });
    }
    bool advance(long long ms) {
        return run([&] { backend.advance(ms); });
    }
    std::string settingsFile() const {
        auto it = files.content.find(kSettingsPath);
        return it == files.content.end() ? std::string("<missing>") : it->second;
    }
    void clearTrace() { trace.clear(); }
};

}  // namespace testing_support
