// The settings dialog: its controls are the settings, and OK saves them.
#include <gtest/gtest.h>

#include "cp932_bytes.h"
#include "harness.h"
#include "trace_match.h"

using namespace testing_support;

namespace {

struct Opened : HeadlessApp {
    explicit Opened(std::string file = testing_support::settingsFile("2", "2", "1")) {
        files.content[kSettingsPath] = std::move(file);
        EXPECT_TRUE(start());
        EXPECT_TRUE(tray(0x201));
        EXPECT_TRUE(click(program.form1, "Command3"));
        clearTrace();
    }
    settings::Form6& form6() { return program.form6; }
};

TEST(SettingsDialog, OkHidesThenSavesTheControls) {
    Opened app;
    ASSERT_TRUE(app.click(app.form6(), "Option1", 2));
    ASSERT_TRUE(app.click(app.form6(), "Option2", 2));
    ASSERT_TRUE(app.click(app.form6(), "Check1"));
    ASSERT_TRUE(app.click(app.form6(), "Command1"));
    EXPECT_TRUE(inOrder(app.trace, {"hide Form6", "replace 1.dat"}));
    EXPECT_EQ(app.settingsFile(), settingsFile("3", "3", "0"));
    EXPECT_FALSE(app.form6().visible());
    EXPECT_TRUE(app.program.form1.visible());
    EXPECT_TRUE(app.backend.messages().empty());
}

TEST(SettingsDialog, OkLeavesAHiddenMainWindowHidden) {
    Opened app;
    ASSERT_TRUE(app.click(app.program.form1, "Command4"));
    ASSERT_TRUE(app.click(app.form6(), "Command1"));
    EXPECT_FALSE(app.program.form1.visible());
}

TEST(SettingsDialog, EachFrameKeepsExactlyOneSelectionOfItsOwn) {
    Opened app;
    auto& f = app.form6();
    for (int i : {0, 2, 1, 0}) {
        ASSERT_TRUE(app.click(f, "Option1", i));
        EXPECT_EQ(f.selectedIndex("Option2"), 1);
        int selected = 0;
        for (int k = 0; k < 3; ++k) {
            selected += f.control("Option1", k).selected();
        }
        EXPECT_EQ(selected, 1);
        EXPECT_TRUE(f.control("Option1", i).selected());
    }
    ASSERT_TRUE(app.click(f, "Option2", 2));
    EXPECT_EQ(f.selectedIndex("Option1"), 0);
}

TEST(SettingsDialog, AChangeWithoutOkIsUsedAtOnceButNotKept) {
    Opened app;
    ASSERT_TRUE(app.click(app.form6(), "Option1", 2));
    EXPECT_EQ(app.form6().selectedIndex("Option1"), 2);
    EXPECT_EQ(app.settingsFile(), settingsFile("2", "2", "1"));

    // The next start reads the file as it was.
    HeadlessApp restarted;
    restarted.files.content = app.files.content;
    ASSERT_TRUE(restarted.start());
    EXPECT_EQ(restarted.program.form6.selectedIndex("Option1"), 1);
}

TEST(SettingsDialog, AFailedSaveKeepsTheOldFileAndSaysSo) {
    struct Case {
        const char* name;
        std::function<void(HeadlessApp&)> arrange;
    };
    std::vector<Case> cases = {
        {"read-only folder", [](HeadlessApp& a) { a.files.readOnly = true; }},
        {"locked file", [](HeadlessApp& a) { a.files.locked.insert(kSettingsPath); }},
        {"replace fails after the temporary file", [](HeadlessApp& a) { a.files.failReplaceOnly = true; }},
    };
    for (auto& c : cases) {
        Opened app(settingsFile("1", "1", "0"));
        ASSERT_TRUE(app.click(app.form6(), "Option1", 2));
        c.arrange(app);
        ASSERT_TRUE(app.click(app.form6(), "Command1")) << c.name;
        app.files.locked.clear();
        EXPECT_EQ(app.settingsFile(), settingsFile("1", "1", "0")) << c.name;
        ASSERT_EQ(app.backend.messages().size(), 1u) << c.name;
        EXPECT_EQ(app.backend.messages()[0].text,
                  "設定ファイルを保存できませんでした。変更した設定は保存されていません。");
        EXPECT_EQ(app.form6().selectedIndex("Option1"), 2) << c.name;  // still in effect
        EXPECT_FALSE(app.form6().visible());
    }
}

}  // namespace
