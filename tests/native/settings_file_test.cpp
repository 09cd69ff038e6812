// Reading 1.dat at start-up: every rule of the loader, checked through the controls it fills.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include "cp932_bytes.h"
#include "harness.h"

using namespace testing_support;

namespace {

enum class Then { Kept, Reset, Ended };

struct LoadCase {
    const char* name;
    std::string file;  // "<missing>" for no file
    int opt, scan, check;
    bool asks = false;
    Then then = Then::Kept;
    ui::MessageAnswer answer = ui::MessageAnswer::Yes;
};

std::vector<LoadCase> loadCases() {
    const std::string ok = settingsFile("2", "2", "1");
    return {
        {"no file: defaults written and applied", "<missing>", 1, 1, 1, false, Then::Reset},
        {"empty file resets without asking", "", 1, 1, 1, false, Then::Reset},
        {"header and version only: read past the end resets", crlfLines({kHeader, kVersion}), 1, 1, 1, false,
         Then::Reset},
        {"four lines: earlier values are overwritten by the reset",
         crlfLines({kHeader, kVersion, kOptKey + "3", kScanKey + "1"}), 1, 1, 1, false, Then::Reset},
        {"3, 1, 0 applied", settingsFile("3", "1", "0"), 2, 0, 0},
        {"1, 3, 1 applied", settingsFile("1", "3", "1"), 0, 2, 1},
        {"only the last character counts", settingsFile("12", "32", "01"), 1, 1, 1},
        {"index -1 and 4 ignored", settingsFile("0", "4", "1"), 1, 1, 1},
        {"9 ignored, backup 2 ignored", settingsFile("9", "9", "2"), 1, 1, 0},
        {"trailing blank: levels ignored, backup cleared", settingsFile("3 ", "3 ", "1 "), 1, 1, 0},
        {"non-digit backup reads as 0", settingsFile("3", "3", "x"), 2, 2, 0},
        {"full-width digits read as 0", settingsFile("3", "\x82\x52", "\x82\x50"), 2, 1, 0},
        {"key without blanks is ignored",
         crlfLines({kHeader, kVersion, kOptKey.substr(0, 10) + "=3", kScanKey + "3", kBackupKey + "1"}), 1, 2,
         1},
        {"lines 3 and 4 swapped: both ignored, line 5 applies",
         crlfLines({kHeader, kVersion, kScanKey + "3", kOptKey + "3", kBackupKey + "1"}), 1, 1, 1},
        {"fifth line without CR LF",
         kHeader + "\r\n" + kVersion + "\r\n" + kOptKey + "1\r\n" + kScanKey + "1\r\n" + kBackupKey + "1", 0,
         0, 1},
        {"lines may end at a lone CR",
         kHeader + "\r" + kVersion + "\r" + kOptKey + "3\r" + kScanKey + "3\r" + kBackupKey + "1\r", 2, 2, 1},
        {"extra lines are never read", ok + "garbage\r\n" + kOptKey + "1\r\n", 1, 1, 1},
        {"LF-only file: incompatible, Yes resets", kHeader + "\n" + kVersion + "\n", 1, 1, 1, true,
         Then::Reset},
        {"header with trailing blank: Yes resets", crlfLines({kHeader + " ", kVersion}) + ok, 1, 1, 1, true,
         Then::Reset},
        {"other version: No ends, file kept", settingsFile("3", "3", "0").replace(28, 1, "1"), 1, 1, 0, true,
         Then::Ended, ui::MessageAnswer::No},
        {"header in lower case: No ends", "kolbrin" + ok.substr(7), 1, 1, 0, true, Then::Ended,
         ui::MessageAnswer::No},
    };
}

class LoadSettings : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadSettings, AppliesTheFileAsTheRulesSay) {
    const LoadCase& c = GetParam();
    // The file reaches the load in pieces; a line, a CR LF or a double-byte character may be cut anywhere.
    for (std::size_t pieceSize : {1u, 3u, 4096u}) {
        SCOPED_TRACE("pieces of " + std::to_string(pieceSize));
        HeadlessApp app;
        app.files.pieceSize = pieceSize;
        if (c.file != "<missing>") {
            app.files.content[kSettingsPath] = c.file;
        }
        app.backend.answer(c.answer);
        bool running = app.start();

        const auto& messages = app.backend.messages();
        ASSERT_EQ(messages.empty(), !c.asks);
        if (c.asks) {
            EXPECT_EQ(messages[0].text,
                      "この設定ファイルは互換性がありません。設定を初期化してよろしいですか？");
            EXPECT_EQ(messages[0].buttons, ui::MessageButtons::YesNo);
        }
        if (c.then == Then::Ended) {
            EXPECT_FALSE(running);
            ASSERT_EQ(messages.size(), 2u);
            EXPECT_EQ(messages[1].text, "終了します");
            EXPECT_EQ(messages[1].buttons, ui::MessageButtons::Ok);
            EXPECT_EQ(app.settingsFile(), c.file);
            EXPECT_TRUE(app.shell.icons.empty());
            continue;
        }
        ASSERT_TRUE(running);
        auto& form6 = app.program.form6;
        EXPECT_EQ(form6.selectedIndex("Option1"), c.opt);
        EXPECT_EQ(form6.selectedIndex("Option2"), c.scan);
        EXPECT_EQ(form6.control("Check1").value, c.check);
        EXPECT_EQ(app.settingsFile(), c.then == Then::Reset ? kDefaultFile : c.file);
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, LoadSettings, ::testing::ValuesIn(loadCases()),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

// A save cut short on FAT (1.dat deleted, 1.dat.new not yet renamed): a whole 1.dat.new alone becomes 1.dat.
TEST(InterruptedSave, OnlyAWholeSavedFileBecomesTheSettingsFile) {
    const std::string saved = settingsFile("3", "1", "0"), kept = settingsFile("1", "1", "1");
    const std::string cases[][3] = {// 1.dat ("" for none), 1.dat.new, 1.dat after the start
                                    {"", saved, saved},
                                    {"", saved + std::string(8, '\0'), kDefaultFile},
                                    {kept, saved, kept}};
    for (const auto& [file, temporary, after] : cases) {
        HeadlessApp app;
        app.files.content = {{kSettingsPath, file}, {kSettingsPath + ".new", temporary}};
        std::erase_if(app.files.content, [](const auto& f) { return f.second.empty(); });
        ASSERT_TRUE(app.start());
        EXPECT_EQ(app.settingsFile(), after) << temporary.size();
        EXPECT_FALSE(app.files.content.contains(kSettingsPath + ".new"));
    }
}

TEST(SettingsFormat, WritesTheExpectedBytes) {
    EXPECT_EQ(settings::format(settings::kDefaultValues), kDefaultFile);
    EXPECT_EQ(settings::format({2, 2, 0}), settingsFile("3", "3", "0"));
    EXPECT_EQ(settings::format({0, 1, 1}), settingsFile("1", "2", "1"));
}

TEST(SettingsFormat, EverySavedFileReadsBackUnchanged) {
    for (int opt = 0; opt < 3; ++opt) {
        for (int scan = 0; scan < 3; ++scan) {
            for (int check = 0; check < 2; ++check) {
                auto parsed = settings::parse(settings::format({opt, scan, check}));
                ASSERT_EQ(parsed.outcome, settings::Parsed::Outcome::Read);
                EXPECT_EQ(parsed.values[0], opt);
                EXPECT_EQ(parsed.values[1], scan);
                EXPECT_EQ(parsed.values[2], check);
            }
        }
    }
}

TEST(Loader, SplitsAtCrAndCrLfOnly) {
    settings::Loader loader;
    for (char c : kHeader + "\r\n" + kVersion + "\rc\nd\r\r\nx") {
        loader.feed(std::string_view(&c, 1));
    }
    loader.finish();
    std::vector<std::string> lines;
    for (int i = 0; i < loader.lineCount(); ++i) {
        lines.push_back(loader.line(i).head);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{kHeader, kVersion, "c\nd", "", "x"}));
}

// Only five short lines matter: a huge file is read no further than it must be, and a huge line costs
// no more than a short one.
TEST(Loader, ReadsNoFurtherThanTheOutcomeNeeds) {
    const std::string tail(16 << 20, 'x');
    struct Case {
        const char* name;
        std::string file;
        std::size_t mustRead;  // the bytes the outcome depends on
        settings::Parsed::Outcome outcome;
    };
    const std::string ok = settingsFile("3", "3", "0");
    std::vector<Case> cases = {
        {"five lines, then a long tail", ok + tail, ok.size(), settings::Parsed::Outcome::Read},
        {"a wrong header, then a long tail", "Other\r" + tail, 6, settings::Parsed::Outcome::Incompatible},
        {"one endless first line", kHeader + tail, kHeader.size() + 1,
         settings::Parsed::Outcome::Incompatible},
        {"an endless version line", kHeader + "\r\n" + kVersion + tail, kHeader.size() + kVersion.size() + 3,
         settings::Parsed::Outcome::Incompatible},
        {"an endless third line must be read to its last character",
         crlfLines({kHeader, kVersion}) + kOptKey + tail,
         kHeader.size() + kVersion.size() + 4 + kOptKey.size() + tail.size(),
         settings::Parsed::Outcome::Unreadable},
    };
    for (const auto& c : cases) {
        HeadlessApp app;
        app.files.pieceSize = 4096;
        app.files.content[kSettingsPath] = c.file;
        settings::Loader loader;
        ASSERT_EQ(app.files.read(kSettingsPath, [&](std::string_view p) { return loader.feed(p); }),
                  platform::ReadResult::Read);
        EXPECT_EQ(loader.finish().outcome, c.outcome) << c.name;
        EXPECT_LT(app.files.bytesHandedOver, c.mustRead + 4096) << c.name;
        for (int i = 0; i < loader.lineCount(); ++i) {
            EXPECT_LE(loader.line(i).head.size(), settings::LineSummary::kHeadBytes) << c.name;
        }
    }
}

}  // namespace
