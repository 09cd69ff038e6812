// The About, feature-versions and technology-list windows: opened from the main window's menu, closed by
// their OK button or close box, independent of each other and of the main window.
#include <gtest/gtest.h>

#include <ostream>
#include <string_view>

#include "harness.h"
#include "trace_match.h"

using namespace testing_support;

namespace {

struct InfoWindow {
    const char* menuItem;
    ui::Form& (*form)(app::Program&);
    // A control whose state the tests change, to see whether the window was rebuilt from its design.
    const char* marker;
};

const InfoWindow kWindows[] = {
    {"aVersion", [](app::Program& p) -> ui::Form& { return p.form3; }, "Label2"},
    {"aTecver", [](app::Program& p) -> ui::Form& { return p.form10; }, "Label2"},
    {"aTarn", [](app::Program& p) -> ui::Form& { return p.form2; }, "Text1"},
};

void PrintTo(const InfoWindow& w, std::ostream* os) {
    *os << w.menuItem;
}

enum class CloseBy { OkButton, CloseBox, Escape };

struct Running : HeadlessApp {
    Running() {
        EXPECT_TRUE(start());
        EXPECT_TRUE(tray(0x201));
        clearTrace();
    }
    ui::Form& form(const InfoWindow& w) { return w.form(program); }
    bool closeWindow(const InfoWindow& w, CloseBy how) {
        switch (how) {
            case CloseBy::OkButton:
                return click(form(w), "Command1");
            case CloseBy::CloseBox:
                return close(form(w));
            case CloseBy::Escape:
                return run([&] { form(w).userEscape(); });
        }
        return false;
    }
};

class InformationWindow : public ::testing::TestWithParam<InfoWindow> {};

TEST_P(InformationWindow, OpensShownAndActiveBesideTheMainWindow) {
    Running app;
    ui::Form& form = app.form(GetParam());
    ASSERT_TRUE(app.menu(GetParam().menuItem));
    EXPECT_TRUE(inOrder(app.trace, {"load " + form.name(), "show " + form.name()}))
        << ::testing::PrintToString(app.trace);
    EXPECT_TRUE(form.visible());
    EXPECT_EQ(app.backend.activations(form), 1);
    EXPECT_TRUE(app.program.form1.visible());
    EXPECT_EQ(countOf(app.trace, "hide Form1"), 0);
}

TEST_P(InformationWindow, SecondChoiceOnlyBringsTheOpenWindowToTheFront) {
    Running app;
    ui::Form& form = app.form(GetParam());
    ASSERT_TRUE(app.menu(GetParam().menuItem));
    form.setCaption(form.control(GetParam().marker), "changed while open");
    app.clearTrace();

    ASSERT_TRUE(app.menu(GetParam().menuItem));
    EXPECT_TRUE(app.trace.empty()) << ::testing::PrintToString(app.trace);
    EXPECT_EQ(app.backend.activations(form), 2);
    EXPECT_EQ(form.control(GetParam().marker).caption, "changed while open");
}

TEST_P(InformationWindow, ClosedWindowOpensAgainFromItsDesign) {
    for (CloseBy how : {CloseBy::OkButton, CloseBy::CloseBox, CloseBy::Escape}) {
        Running app;
        ui::Form& form = app.form(GetParam());
        ASSERT_TRUE(app.menu(GetParam().menuItem));
        ui::Control& marker = form.control(GetParam().marker);
        const std::string original = marker.caption;
        form.setCaption(marker, "changed while open");

        ASSERT_TRUE(app.closeWindow(GetParam(), how));
        EXPECT_FALSE(form.loaded());
        EXPECT_EQ(countOf(app.trace, "unload " + form.name()), 1);
        EXPECT_TRUE(app.program.form1.visible());

        app.clearTrace();
        ASSERT_TRUE(app.menu(GetParam().menuItem));
        EXPECT_TRUE(inOrder(app.trace, {"load " + form.name(), "show " + form.name()}))
            << ::testing::PrintToString(app.trace);
        EXPECT_TRUE(form.visible());
        EXPECT_EQ(form.control(GetParam().marker).caption, original);
    }
}

TEST_P(InformationWindow, StaysOpenWhenTheMainWindowIsHidden) {
    for (const char* hider : {"aToji", "aKaishi", "aMemscan"}) {
        Running app;
        ui::Form& form = app.form(GetParam());
        ASSERT_TRUE(app.menu(GetParam().menuItem));
        app.clearTrace();
        ASSERT_TRUE(app.menu(hider));
        EXPECT_FALSE(app.program.form1.visible()) << hider;
        EXPECT_TRUE(form.visible()) << hider;
        EXPECT_EQ(countOf(app.trace, "hide " + form.name()), 0) << hider;
        EXPECT_EQ(countOf(app.trace, "unload " + form.name()), 0) << hider;
    }
}

// The other windows define no cancel: Escape leaves them, and whatever runs in them, as they are.
TEST(Escape, ClosesNothingOutsideTheInformationWindows) {
    Running app;
    ASSERT_TRUE(app.menu("aKaishi"));
    ASSERT_TRUE(app.click(app.program.form1, "Command3"));
    for (ui::Form* form :
         std::initializer_list<ui::Form*>{&app.program.form1, &app.program.form4, &app.program.form6}) {
        const bool visible = form->visible();
        app.clearTrace();
        ASSERT_TRUE(app.run([&] { form->userEscape(); }));
        EXPECT_TRUE(app.trace.empty()) << form->name() << ::testing::PrintToString(app.trace);
        EXPECT_EQ(form->visible(), visible) << form->name();
    }
}

INSTANTIATE_TEST_SUITE_P(Info, InformationWindow, ::testing::ValuesIn(kWindows),
                         [](const auto& info) { return std::string(info.param.menuItem); });

TEST(InformationWindows, AllOpenTogetherAndCloseOneAtATime) {
    for (const InfoWindow& closing : kWindows) {
        for (CloseBy how : {CloseBy::OkButton, CloseBy::CloseBox, CloseBy::Escape}) {
            Running app;
            for (const InfoWindow& w : kWindows) {
                ASSERT_TRUE(app.menu(w.menuItem));
            }
            for (const InfoWindow& w : kWindows) {
                EXPECT_TRUE(app.form(w).visible()) << w.menuItem;
            }
            ASSERT_TRUE(app.closeWindow(closing, how));
            for (const InfoWindow& w : kWindows) {
                EXPECT_EQ(app.form(w).visible(), &w != &closing) << "closing " << closing.menuItem;
            }
            EXPECT_TRUE(app.program.form1.visible());
            EXPECT_EQ(app.shell.icons.size(), 1u);
        }
    }
}

TEST(AboutWindow, ShowsTheMainWindowsIconEachTimeItLoads) {
    Running app;
    const ui::Picture mainIcon = app.program.form1.icon();
    ASSERT_NE(mainIcon, ui::Picture::None);
    auto& form3 = app.program.form3;
    for (int opening = 0; opening < 2; ++opening) {
        ASSERT_TRUE(app.menu("aVersion"));
        EXPECT_EQ(form3.icon(), mainIcon) << opening;
        EXPECT_EQ(form3.control("Picture1").picture, mainIcon) << opening;
        ASSERT_TRUE(app.click(form3, "Command1"));
    }
}

TEST(AboutWindow, ReopeningDoesNotRunItsLoadAgain) {
    Running app;
    auto& form3 = app.program.form3;
    ASSERT_TRUE(app.menu("aVersion"));
    form3.setPicture(form3.control("Picture1"), ui::Picture::None);
    ASSERT_TRUE(app.menu("aVersion"));
    EXPECT_EQ(form3.control("Picture1").picture, ui::Picture::None);
}

// The versions must stand in one column in the fixed-pitch font: every line is a name padded to 20
// characters, then "Version.", and ends with CR LF, the last one too.
TEST(TechnologyList, LinesLineUpInAColumn) {
    Running app;
    const std::string& text = app.program.form2.control("Text1").caption;
    auto characters = [](std::string_view s) {
        std::size_t n = 0;
        for (unsigned char c : s) {
            n += (c & 0xC0) != 0x80;
        }
        return n;
    };
    int lines = 0;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find("\r\n", from);
        ASSERT_NE(end, std::string::npos) << "unterminated last line";
        std::string_view line(text.data() + from, end - from);
        EXPECT_EQ(line.find('\r'), std::string_view::npos) << line;
        EXPECT_EQ(line.find('\n'), std::string_view::npos) << line;
        std::size_t version = line.find("Version.");
        ASSERT_NE(version, std::string_view::npos) << line;
        std::string_view name = line.substr(0, version);
        EXPECT_EQ(characters(name), 20u) << line;
        EXPECT_NE(name.front(), ' ') << line;
        EXPECT_NE(name.find_first_not_of(' '), std::string_view::npos) << line;
        ++lines;
        from = end + 2;
    }
    EXPECT_EQ(lines, 4);
}

}  // namespace
