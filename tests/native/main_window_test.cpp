// The main window's commands: what each does, in which order.
#include <gtest/gtest.h>

#include "harness.h"
#include "trace_match.h"

using namespace testing_support;

namespace {

struct Shown : HeadlessApp {
    explicit Shown(const char* folder = kFolder) {
        shell.folder = folder;
        EXPECT_TRUE(start());
        EXPECT_TRUE(tray(0x201));
        clearTrace();
    }
};

struct CommandCase {
    const char* name;
    bool isMenu;
    const char* control;
    std::vector<std::string> effects;
    bool mainVisibleAfter;
};

class Commands : public ::testing::TestWithParam<CommandCase> {};

TEST_P(Commands, HaveTheirEffectsInOrder) {
    const CommandCase& c = GetParam();
    Shown app;
    ASSERT_TRUE(c.isMenu ? app.menu(c.control) : app.click(app.program.form1, c.control));
    EXPECT_TRUE(inOrder(app.trace, c.effects)) << ::testing::PrintToString(app.trace);
    EXPECT_EQ(app.program.form1.visible(), c.mainVisibleAfter);
    EXPECT_EQ(app.shell.icons.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, Commands,
    ::testing::Values(
        CommandCase{"menu start", true, "aKaishi", {"load Form4", "show Form4", "hide Form1"}, false},
        CommandCase{"button start", false, "Command1", {"load Form4", "show Form4", "hide Form1"}, false},
        CommandCase{"menu scan", true, "aMemscan", {"load Form7", "show Form7", "hide Form1"}, false},
        CommandCase{"button scan, Yes",
                    false,
                    "Command2",
                    {"message この作業は開発途中(β版)のため、時間が数分かかる事があります。実行しますか？",
                     "load Form7", "show Form7", "hide Form1"},
                    false},
        CommandCase{"menu close", true, "aToji", {"hide Form1"}, false},
        CommandCase{"button close", false, "Command4", {"hide Form1"}, false},
        CommandCase{"menu settings", true, "aSettei", {"show Form6"}, true},
        CommandCase{"button settings", false, "Command3", {"show Form6"}, true},
        CommandCase{"feature versions", true, "aTecver", {"load Form10", "show Form10"}, true},
        CommandCase{"technology list", true, "aTarn", {"load Form2", "show Form2"}, true},
        CommandCase{"about", true, "aVersion", {"load Form3", "show Form3"}, true},
        CommandCase{"help without its page", true, "aHelp", {"help C:\\Kolbrin\\palvo.hlp"}, true}),
    [](const auto& info) { return std::string(info.param.control); });

TEST(MainWindow, ScanButtonAnsweredNoChangesNothing) {
    Shown app;
    app.backend.answer(ui::MessageAnswer::No);
    ASSERT_TRUE(app.click(app.program.form1, "Command2"));
    EXPECT_EQ(app.backend.messages().at(0).buttons, ui::MessageButtons::YesNo);
    EXPECT_EQ(app.trace.size(), 1u) << ::testing::PrintToString(app.trace);
    EXPECT_FALSE(app.program.form7.loaded());
    EXPECT_TRUE(app.program.form1.visible());
}

TEST(MainWindow, ScanMenuNeverAsks) {
    Shown app;
    ASSERT_TRUE(app.menu("aMemscan"));
    EXPECT_TRUE(app.backend.messages().empty());
}

// Help is opened by its full path in the program folder, never by a bare name the viewer would look for
// in the current folder first; the web-page guide comes first on every Windows, which has no help viewer.
constexpr const char* kPage = "C:\\Kolbrin\\palvo.html";

struct HelpCase {
    const char* name;
    const char* folder;
    const char* page;  // the web-page guide on disk, if any
    std::vector<std::string> helpCalls;
    std::vector<std::string> opened;
};

class Help : public ::testing::TestWithParam<HelpCase> {};

TEST_P(Help, OpensTheGuideFromTheProgramFolder) {
    const HelpCase& c = GetParam();
    Shown app(c.folder);
    if (c.page) {
        app.shell.documents.insert(c.page);
    }
    ASSERT_TRUE(app.menu("aHelp"));
    EXPECT_EQ(app.shell.helpCalls, c.helpCalls);
    EXPECT_EQ(app.shell.openedDocuments, c.opened);
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, Help,
    ::testing::Values(HelpCase{"page", kFolder, kPage, {}, {kPage}},
                      HelpCase{"noPage", kFolder, nullptr, {"C:\\Kolbrin\\palvo.hlp 3 0"}, {}},
                      HelpCase{"pageElsewhere", kFolder, "palvo.html", {"C:\\Kolbrin\\palvo.hlp 3 0"}, {}},
                      HelpCase{"driveRootNoPage", "D:\\", nullptr, {"D:\\palvo.hlp 3 0"}, {}},
                      HelpCase{"driveRoot", "D:\\", "D:\\palvo.html", {}, {"D:\\palvo.html"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainWindow, SettingsTwiceIsOneDialogInNormalState) {
    Shown app;
    ASSERT_TRUE(app.click(app.program.form1, "Command3"));
    ASSERT_TRUE(app.menu("aSettei"));
    EXPECT_EQ(countOf(app.trace, "show Form6"), 1);
    EXPECT_EQ(countOf(app.trace, "load Form6"), 0);
    EXPECT_EQ(app.backend.restores(app.program.form6), 2);
    EXPECT_TRUE(app.program.form6.visible());
    EXPECT_TRUE(app.program.form1.visible());
}

TEST(MainWindow, StartWhileTheRunIsLoadedOnlyBringsItToTheFront) {
    for (const char* item : {"aKaishi", "aMemscan"}) {
        Shown app;
        ASSERT_TRUE(app.menu(item));
        ui::Form& run = std::string(item) == "aKaishi" ? static_cast<ui::Form&>(app.program.form4)
                                                       : static_cast<ui::Form&>(app.program.form7);
        int activations = app.backend.activations(run);
        ASSERT_TRUE(app.tray(0x201));
        app.clearTrace();
        ASSERT_TRUE(app.menu(item));
        EXPECT_EQ(app.trace, (headless::Trace{"hide Form1"})) << item;
        EXPECT_EQ(app.backend.activations(run), activations + 1) << item;
    }
}

}  // namespace
