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
constexpr const char* kProductName = "Kolbrin";

constexpr std::string_view kTrayControl = "picRespond";  // the hidden picture the shell notifies
constexpr std::string_view kTrayRetry = "trayRetry";

constexpr ui::Handler kHandlers[] = {
    ui::click<&Form1::Command1_Click>("Command1"),
    ui::click<&Form1::Command2_Click>("Command2"),
    ui::click<&Form1::Command3_Click>("Command3"),
    ui::click<&Form1::Command4_Click>("Command4"),
    ui::click<&Form1::Command5_Click>("Command5"),
    ui::menu<&Form1::aTarn_Click>("aTarn"),
    ui::menu<&Form1::aEnd_Click>("aEnd"),
    ui::menu<&Form1::aHelp_Click>("aHelp"),
    ui::menu<&Form1::aKaishi_Click>("aKaishi"),
    ui::menu<&Form1::aMemscan_Click>("aMemscan"),
    ui::menu<&Form1::aSettei_Click>("aSettei"),
    ui::menu<&Form1::aTecver_Click>("aTecver"),
    ui::menu<&Form1::aToji_Click>("aToji"),
    ui::menu<&Form1::aVersion_Click>("aVersion"),
    ui::mouseMove<&Form1::picRespond_MouseMove>(kTrayControl),
    ui::tick<&Form1::trayRetry_Timer>(kTrayRetry),
};

}  // namespace

Form1::Form1(Program& program) : Form(program.backend, form1Design(), kHandlers), program_(program) {}

void Form1::Form_Load() {
    IconData = {};
    IconData.hIcon = reinterpret_cast<void*>(backend().mainIconHandle());
    IconData.cbSize = sizeof(IconData);
    IconData.hWnd = reinterpret_cast<void*>(nativeHandle(control(kTrayControl)));
    // The tip: the name, one NUL, then blanks to the end of the field; the shell shows up to the NUL.
    std::memset(IconData.szTip, ' ', sizeof(IconData.szTip));
    std::memcpy(IconData.szTip, kProductName, std::strlen(kProductName) + 1);
    IconData.uCallbackMessage = platform::kWmMouseMove;
    IconData.uFlags = platform::kNifMessage | platform::kNifIcon | platform::kNifTip;
    IconData.uID = 0;
    addTrayIcon();
    setVisible(true);
}

void Form1::addTrayIcon() {
    // The shell refuses an icon it already has (a "TaskbarCreated" can come while the icon survived) as
    // well as any icon while it is still starting. Asking it to change the icon tells the two apart: it
    // succeeds only for an icon that is there. Only a shell that is not there yet is worth a retry, every
    // second until it takes the icon, or the program would sit hidden with no way to reach it. An add
    // reported failed may still have put the icon there (while Explorer starts at sign-in it can answer
    // too late), so the version follows whenever the icon is known to be in the shell.
    const bool inShell = program_.shell.notifyIcon(platform::kNimAdd, IconData) ||
                         program_.shell.notifyIcon(platform::kNimModify, IconData);
    if (inShell) {
        askForKeyboardVersion();
    }
    ui::Timer& retry = timer(kTrayRetry);
    if (inShell == retry.enabled) {
        setTimerEnabled(retry, !inShell);
    }
}

// An icon added with the first record and no version gets Enter and Space reported as right-button
// messages, which do nothing: the main window could not be reached without a mouse. Every time the icon
// is known to be there, the re-adds for a new taskbar included, the request follows; the icon keeps its
// first record.
void Form1::askForKeyboardVersion() {
    program_.shell.setIconVersion(IconData, platform::kNotifyIconVersion);
}

void Form1::onShellRestarted() {
    addTrayIcon();
}

void Form1::trayRetry_Timer() {
    addTrayIcon();
}

void Form1::removeTrayIcon() {
    program_.shell.notifyIcon(platform::kNimDelete, IconData);
}

void Form1::exitProgram() {
    removeTrayIcon();
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
    // Enter or Space on the icon is the keyboard's left press.
    if (x == kTrayLeftButtonDown || x == platform::kNinSelect || x == platform::kNinKeySelect) {
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
    // No Windows since Vista ships a viewer for the help file's format, only a notice that it is not
    // supported; the web-page guide beside the program says the same. Without it, the help file as ever.
    if (program_.shell.openDocument(program_.AppPath + kHelpPage)) {
        return;
    }
    // By its full path: the viewer looks for a bare name in the current folder first, and a help file
    // someone left there can run programs through its macros.
    program_.shell.winHelp(program_.AppPath + kHelpFile, platform::kHelpContents, 0);
}

}  // namespace app
