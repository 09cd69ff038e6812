#include "settings/form6.h"

#include "app/program.h"
#include "settings/settings_file.h"

namespace settings {

namespace {

constexpr const char* kAlreadyRunning = "既に起動しています。";
constexpr const char* kIncompatibleQuestion =
    "この設定ファイルは互換性がありません。設定を初期化してよろしいですか？";
constexpr const char* kEndingNotice = "終了します";
// Said when the defaults could not be stored: the program runs on with them, but nothing the user sets
// will survive the next start until the folder can be written.
constexpr const char* kDefaultsNotStored = "設定ファイルを作成できませんでした。標準の設定で起動します。";
// Said when 1.dat is there but cannot be read: it is left as it is, and OK in the dialog still saves.
constexpr const char* kFileUnread = "設定ファイルを読み込めませんでした。標準の設定で起動します。";
// The choice stays in the dialog's controls only while the dialog lives: its close box, or the next start,
// reads the old file again. So promise nothing beyond the fact.
constexpr const char* kSaveFailed = "設定ファイルを保存できませんでした。変更した設定は保存されていません。";

constexpr ui::Handler kHandlers[] = {ui::click<&Form6::Command1_Click>("Command1")};

}  // namespace

Form6::Form6(app::Program& program) : Form(program.backend, form6Design(), kHandlers), program_(program) {}

void Form6::Form_Load() {
    // When the settings dialog has been closed, its next use loads it again and runs all of this once
    // more; the instance test then passes, because this process is the one holding the name.
    if (program_.shell.anotherInstanceRunning()) {
        program_.backend.messageBox(kAlreadyRunning, ui::MessageButtons::Ok);
        program_.backend.endProgram();
    }
    program_.AppPath = app::withFinalBackslash(program_.shell.exeFolder());
    LoadSettings();
}

std::string Form6::settingsPath() const {
    return program_.AppPath + std::string(kFileName);
}

int Form6::selectedIndex(std::string_view array) {
    for (int i = 0; i < 2; ++i) {
        if (control(array, i).selected()) {
            return i;
        }
    }
    return 2;
}

void Form6::apply(const Parsed& parsed) {
    static constexpr std::string_view kLevelArrays[] = {"Option1", "Option2"};
    for (int s : {kOptimization, kScan}) {
        if (parsed.values[s]) {
            select(control(kLevelArrays[s], *parsed.values[s]));
        }
    }
    if (parsed.values[kBackup]) {
        setValue(control("Check1"), *parsed.values[kBackup]);
    }
}

void Form6::applyDefaults() {
    Parsed defaults{Parsed::Outcome::Read, {}};
    for (int s = 0; s < kSettingCount; ++s) {
        defaults.values[s] = kDefaultValues[s];
    }
    apply(defaults);
}

// A save writes 1.dat.new and then replaces 1.dat with it. On FAT32 and exFAT (a USB stick) the system
// replaces by a delete and a rename, and a power cut between the two leaves 1.dat.new alone: when it is
// whole, it is the user's last save. Any other 1.dat.new is a save that never finished, and goes.
void Form6::finishInterruptedSave() {
    const std::string path = settingsPath();
    const std::string saved = path + std::string(platform::kReplaceSuffix);
    const std::size_t savedSize = format(kDefaultValues).size();  // the size of every file a save writes
    std::string bytes;
    const platform::ReadResult read = program_.files.read(saved, [&](std::string_view piece) {
        bytes.append(piece);
        return bytes.size() <= savedSize;
    });
    if (read == platform::ReadResult::Missing) {
        return;
    }
    // The rename keeps any 1.dat there is: the temporary file is then the one that goes.
    if (read == platform::ReadResult::Read && savedValues(bytes) && program_.files.rename(saved, path)) {
        return;
    }
    program_.files.remove(saved);
}

void Form6::LoadSettings() {
    program_.form1.hide();
    finishInterruptedSave();
    const std::string path = settingsPath();
    // The first reading may reset the file and read it once more; a file that still does not read
    // back after that leaves the defaults in the controls rather than resetting without end.
    for (int attempt = 0; attempt < 2; ++attempt) {
        Loader loader;
        platform::ReadResult read =
            program_.files.read(path, [&loader](std::string_view piece) { return loader.feed(piece); });
        if (read == platform::ReadResult::Unreadable && attempt == 0) {
            // A file that is there but cannot be read (held by another program, not ours to read, an
            // online-only copy while offline) may hold the user's settings, and a synchronised folder
            // would carry a reset to their other computers: it is never replaced unread.
            startWithDefaults(kFileUnread, program_.settingsUnreadSaid);
            return;
        }
        Parsed parsed = read == platform::ReadResult::Read ? loader.finish() : Parsed{};
        if (parsed.outcome == Parsed::Outcome::Read) {
            apply(parsed);
            return;
        }
        if (attempt > 0) {
            break;
        }
        if (parsed.outcome == Parsed::Outcome::Incompatible &&
            program_.backend.messageBox(kIncompatibleQuestion, ui::MessageButtons::YesNo) ==
                ui::MessageAnswer::No) {
            program_.backend.messageBox(kEndingNotice, ui::MessageButtons::Ok);
            program_.form1.exitProgram();
        }
        if (!program_.files.replace(path, format(kDefaultValues))) {
            break;
        }
    }
    startWithDefaults(kDefaultsNotStored, program_.defaultsNotStoredSaid);
}

// The start-up goes on with the defaults in the controls and says why. Closing the dialog with its close
// box runs the start-up again; once a run is enough to know.
void Form6::startWithDefaults(const char* notice, bool& said) {
    applyDefaults();
    if (!said) {
        said = true;
        program_.backend.messageBox(notice, ui::MessageButtons::Ok);
    }
}

void Form6::Command1_Click() {
    hide();
    Values values{selectedIndex("Option1"), selectedIndex("Option2"), control("Check1").value};
    if (!program_.files.replace(settingsPath(), format(values))) {
        program_.backend.messageBox(kSaveFailed, ui::MessageButtons::Ok);
    }
}

}  // namespace settings
