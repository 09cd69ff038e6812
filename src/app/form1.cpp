#include "app/form1.h"

#include <cstdlib>
#include <cstring>

#include "app/program.h"

namespace app {

namespace {

constexpr const char* kScanQuestion =
    "この作業は開発途中(β版)のため、時間が数分かかる事があります。実行しますか？";
constexpr const char* kHelpFile = "palvo.hlp";
constexpr const char* kHelpPage = "palvo.html";  // the same guide as a web page
constexpr std::uint32_t kFirstWindowsWithoutHelpViewer = 10;
constexpr const char* kProductName = "Kolbrin";

constexpr std::uint32_t kNifMessage = 1, kNifIcon = 2, kNifTip = 4;
constexpr std::uint32_t kWmMouseMove = 512;
constexpr std::string_view kTrayControl = "picRespond";  // the hidden picture the shell notifies
constexpr std::string_view kTrayRetry = "trayRetry";

using Click = ui::Handler<Form1>;
constexpr Click kClicks[] = {
    {"Command1", ui::kNoIndex, &Form1::Command1_Click}, {"Command2", ui::kNoIndex, &Form1::Command2_Click},
    {"Command3", ui::kNoIndex, &Form1::Command3_Click}, {"Command4", ui::kNoIndex, &Form1::Command4_Click},
    {"Command5", ui::kNoIndex, &Form1::Command5_Click},
};
constexpr Click kMenus[] = {
    {"aTarn", ui::kNoIndex, &Form1::aTarn_Click},       {"aEnd", ui::kNoIndex, &Form1::aEnd_Click},
    {"aHelp", ui::kNoIndex, &Form1::aHelp_Click},       {"aKaishi", ui::kNoIndex, &Form1::aKaishi_Click},
    {"aMemscan", ui::kNoIndex, &Form1::aMemscan_Click}, {"aSettei", ui::kNoIndex, &Form1::aSettei_Click},
    {"aTecver", ui::kNoIndex, &Form1::aTecver_Click},   {"aToji", ui::kNoIndex, &Form1::aToji_Click},
    {"aVersion", ui::kNoIndex, &Form1::aVersion_Click},
};

}  // namespace

Form1::Form1(Program& program) : Form(program.backend, form1Design()), program_(program) {}

void Form1::Form_Load() {
    IconData = {};
    IconData.hIcon = reinterpret_cast<void*>(backend().mainIconHandle());
    IconData.cbSize = sizeof(IconData);
    IconData.hWnd = reinterpret_cast<void*>(nativeHandle(control(kTrayControl)));
    // The tip: the name, one NUL, then blanks to the end of the field; the shell shows up to the NUL.
    std::memset(IconData.szTip, ' ', sizeof(IconData.szTip));
    std::memcpy(IconData.szTip, kProductName, std::strlen(kProductName) + 1);
    IconData.uCallbackMessage = kWmMouseMove;
    IconData.uFlags = kNifMessage | kNifIcon | kNifTip;
    IconData.uID = 0;
    addTrayIcon();
    setVisible(true);
}

void Form1::addTrayIcon() {
    // The shell refuses an icon it already has (a "TaskbarCreated" can come while the icon survived) as
    // well as any icon while it is still starting. Asking it to change the icon tells the two apart: it
    // succeeds only for an icon that is there. Only a shell that is not there yet is worth a retry, every
    // second until it takes the icon, or the program would sit hidden with no way to reach it.
    bool inShell = program_.shell.notifyIcon(platform::kNimAdd, IconData) ||
                   program_.shell.notifyIcon(platform::kNimModify, IconData);
    ui::Timer& retry = timer(kTrayRetry);
    if (inShell == retry.enabled) {
        setTimerEnabled(retry, !inShell);
    }
}

void Form1::onShellRestarted() {
    addTrayIcon();
}

void Form1::onTimer(ui::Timer& timer) {
    if (timer.design->name == kTrayRetry) {
        addTrayIcon();
    }
}

void Form1::exitProgram() {
    program_.shell.notifyIcon(platform::kNimDelete, IconData);
    backend().endProgram();
    std::abort();  // not reached: ending the program does not return
}

void Form1::Form_Unload() {
    exitProgram();
}
void Form1::aEnd_Click() {
    exitProgram();
}
void Form1::Command5_Click() {
    exitProgram();
}

void Form1::picRespond_MouseMove(int, int, float x, float) {
    if (x == kTrayLeftButtonDown) {
        show();
    }
}

void Form1::startOptimization() {
    program_.form4.show();
    hide();
}

void Form1::startScan() {
    program_.form7.show();
    hide();
}

void Form1::openSettings() {
    program_.form6.setVisible(true);
    program_.form6.restore();
}

void Form1::aKaishi_Click() {
    startOptimization();
}
void Form1::Command1_Click() {
    startOptimization();
}
void Form1::aMemscan_Click() {
    startScan();
}

void Form1::Command2_Click() {
    if (backend().messageBox(kScanQuestion, ui::MessageButtons::YesNo) == ui::MessageAnswer::Yes) {
        startScan();
    }
}

void Form1::aToji_Click() {
    hide();
}
void Form1::Command4_Click() {
    hide();
}
void Form1::aSettei_Click() {
    openSettings();
}
void Form1::Command3_Click() {
    openSettings();
}
void Form1::aTecver_Click() {
    program_.form10.show();
}
void Form1::aTarn_Click() {
    program_.form2.show();
}
void Form1::aVersion_Click() {
    program_.form3.show();
}
void Form1::aHelp_Click() {
    // Windows 10 and later have no viewer for the help file's format, only a notice that it is not
    // supported; the web-page guide beside the program says the same. Without it, the help file as ever.
    if (program_.shell.windowsMajorVersion() >= kFirstWindowsWithoutHelpViewer &&
        program_.shell.openDocument(program_.AppPath + kHelpPage)) {
        return;
    }
    // By its full path: the viewer looks for a bare name in the current folder first, and a help file
    // someone left there can run programs through its macros.
    program_.shell.winHelp(program_.AppPath + kHelpFile, platform::kHelpContents, 0);
}

std::vector<ui::HandledName> Form1::handledNames() const {
    std::vector<ui::HandledName> names;
    ui::appendNames(names, ui::HandledName::Kind::Control, kClicks);
    ui::appendNames(names, ui::HandledName::Kind::Menu, kMenus);
    names.push_back({ui::HandledName::Kind::Control, kTrayControl});
    names.push_back({ui::HandledName::Kind::Timer, kTrayRetry});
    return names;
}

void Form1::onClick(ui::Control& control) {
    ui::dispatch(*this, kClicks, control.name(), control.index());
}

void Form1::onMenu(std::string_view item) {
    ui::dispatch(*this, kMenus, item, ui::kNoIndex);
}

void Form1::onMouseMove(ui::Control& control, int button, int shift, float x, float y) {
    if (control.name() == kTrayControl) {
        picRespond_MouseMove(button, shift, x, y);
    }
}

}  // namespace app
