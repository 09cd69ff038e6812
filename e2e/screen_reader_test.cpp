// The program as a screen reader and a keyboard user meet it: every window read through its accessible
// objects from this process, the tray icon, the option groups and Escape driven by keys.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <oleacc.h>
#include <shellapi.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "cp932_bytes.h"
#include "e2e/session.h"
#include "info/info_window.h"
#include "optimize/form4.h"
#include "scan/form7.h"
#include "settings/form6.h"

namespace e2e {
namespace {

constexpr int kFeatureVersionsEntry = 1, kTechnologyListEntry = 2, kAboutEntry = 4;  // その他(&T)

// The import library's IID_IAccessible is not the GUID itself.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct Heard {
    bool read = false;
    std::wstring name, description;
    long role = 0, state = 0;
};

std::wstring take(BSTR s) {
    std::wstring out = s != nullptr ? std::wstring(s, SysStringLen(s)) : L"";
    SysFreeString(s);
    return out;
}

// The object a screen reader gets for a window's client area; nullptr when there is none.
IAccessible* accessibleOf(HWND window) {
    static const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    IAccessible* object = nullptr;
    if (!com || window == nullptr ||
        FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, kIidAccessible,
                                          reinterpret_cast<void**>(&object)))) {
        return nullptr;
    }
    return object;
}

VARIANT selfId() {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

// What a screen reader hears of a window's client area.
Heard hear(HWND window) {
    Heard h;
    IAccessible* object = accessibleOf(window);
    if (object == nullptr) {
        return h;
    }
    const VARIANT self = selfId();
    BSTR text = nullptr;
    if (SUCCEEDED(object->get_accName(self, &text))) {
        h.name = take(text);
    }
    text = nullptr;
    if (SUCCEEDED(object->get_accDescription(self, &text))) {
        h.description = take(text);
    }
    VARIANT v{};
    if (SUCCEEDED(object->get_accRole(self, &v)) && v.vt == VT_I4) {
        h.role = v.lVal;
    }
    v = VARIANT{};
    if (SUCCEEDED(object->get_accState(self, &v)) && v.vt == VT_I4) {
        h.state = v.lVal;
    }
    object->Release();
    h.read = true;
    return h;
}

// One object of a window and what must be heard of it. Roles only where the program gives them (the
// system's objects under Wine call every standard control a client area); a null text is not checked.
struct Expected {
    const char* control;  // nullptr: the window itself
    int index;
    const wchar_t* name;
    long role;
    long state;  // these bits set
    const wchar_t* description;
};

struct WindowCase {
    const char* form;
    const ui::FormDesign& (*design)();
    std::vector<Expected> objects;
};

const std::vector<WindowCase>& windows() {
    static const std::vector<WindowCase> cases = {
        {"Form1",
         app::form1Design,
         {{"Command1", ui::kNoIndex, L"最適化開始", ROLE_SYSTEM_PUSHBUTTON, 0, L"メモリの最適化を行います"},
          {"Command4", ui::kNoIndex, L"閉じる", ROLE_SYSTEM_PUSHBUTTON, 0, L"ウィンドウを隠します"}}},
        {"Form6",
         settings::form6Design,
         {{"Command1", ui::kNoIndex, L"OK", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_DEFAULT, nullptr},
          {"Frame1", ui::kNoIndex, L"最適化速度", ROLE_SYSTEM_GROUPING, 0, L"最適化の程度を指定します"},
          {"Frame2", ui::kNoIndex, L"メモリスキャン速度", ROLE_SYSTEM_GROUPING, 0,
           L"メモリスキャンの程度を指定します"},
          {"Option1", 0, L"すばやく簡単", 0, 0, nullptr},
          {"Check1", ui::kNoIndex, L"バックアップしながら最適化", 0, 0,
           L"バックアップしながら最適化するので安定性が増します。"}}},
        {"Form10",
         info::form10Design,
         {{"Command1", ui::kNoIndex, L"OK", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_DEFAULT, nullptr},
          {"Label3", ui::kNoIndex, L"ウィルス定義データ", 0, 0,
           L"ウィルススキャンでのウィルスのパターンデータです。"}}},
        {"Form2", info::form2Design, {{"Text1", ui::kNoIndex, L"使用Tarnテクノロジ", 0, 0, nullptr}}},
        {"Form3", info::form3Design, {{"Image1", ui::kNoIndex, L"Kolbrin", 0, 0, nullptr}}},
        {"Form4", optimize::form4Design, {{nullptr, ui::kNoIndex, L"最適化中……", 0, 0, nullptr}}},
        {"Form7", scan::form7Design, {{nullptr, ui::kNoIndex, L"メモリスキャン中……", 0, 0, nullptr}}},
    };
    return cases;
}

void checkHeard(HWND form, const WindowCase& w) {
    for (const Expected& e : w.objects) {
        const std::string what = std::string(w.form) + "." + (e.control ? e.control : "(window)");
        const Heard h = hear(e.control ? control(form, w.design(), e.control, e.index) : form);
        ASSERT_TRUE(h.read) << what;
        EXPECT_EQ(h.name, e.name) << what;
        if (e.role != 0) {
            EXPECT_EQ(h.role, e.role) << what;
        }
        EXPECT_EQ(h.state & e.state, e.state) << what;
        if (e.description != nullptr) {
            EXPECT_EQ(h.description, e.description) << what;
        }
    }
}

// The objects whose name or description a screen reader is told has changed.
struct Announced {
    DWORD event;
    HWND window;
};
std::vector<Announced> announced;

void CALLBACK onAnnounced(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) {
        announced.push_back({event, window});
    }
}

void takeEvents() {
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
        DispatchMessageW(&msg);  // the events come to this thread as messages
    }
}

bool wasAnnounced(DWORD event, HWND window) {
    takeEvents();
    for (const Announced& a : announced) {
        if (a.event == event && a.window == window) {
            return true;
        }
    }
    return false;
}

constexpr std::pair<const char*, int> kInformationWindows[] = {
    {"Form10", kFeatureVersionsEntry}, {"Form2", kTechnologyListEntry}, {"Form3", kAboutEntry}};

HWND openFromMenu(Session& s, HWND main, const char* form, int entry) {
    SetForegroundWindow(main);
    chooseMenu(main, 'T', entry);
    return s.kolbrin->waitForWindow(form);
}

const WindowCase& windowCase(const char* form) {
    for (const WindowCase& w : windows()) {
        if (std::string(w.form) == form) {
            return w;
        }
    }
    throw std::logic_error("no such window");
}

// How a run is heard: the object that has the focus while it goes on, what its description says at a
// stage (then the percentage), the changes of it announced (the stages), OK's description at the end.
struct Run {
    const char* form;
    const char* focused;  // nullptr: the window itself
    const wchar_t* stage;
    int announced;
    const wchar_t* result;
};
const Run kRuns[] = {{"Form4", "Command2", L"", 0, L"完了"},
                     {"Form7", nullptr, L"ウィルス スキャン ", 10, L"異常なし"}};

// Follows a run to its end through the events in their order: the focus goes straight to OK, heard once.
void followRun(Session& s, const Run& run) {
    const WindowCase& w = windowCase(run.form);
    HWND form = s.kolbrin->waitForWindow(run.form, true, 5s);
    ASSERT_NE(form, nullptr) << run.form;
    checkHeard(form, w);
    EXPECT_EQ(hear(form).role, ROLE_SYSTEM_DIALOG) << run.form;  // read out as it opens
    const HWND focused = run.focused ? control(form, w.design(), run.focused) : form;
    EXPECT_TRUE(waitUntil([&] {
        const std::wstring heard = hear(focused).description;
        return focusIn(form) == focused && heard.starts_with(run.stage) && heard.ends_with(L"％");
    })) << run.form;
    const HWND ok = control(form, w.design(), "Command1");
    ASSERT_TRUE(waitUntil([&] { return focusIn(form) == ok; }, 30s)) << run.form;
    EXPECT_EQ(hear(ok).description, run.result) << run.form;
    Sleep(300);
    takeEvents();
    std::vector<HWND> focusPath;
    int described = 0, elsewhere = 0;  // on the run's object before OK had the focus; on any other, or later
    for (const Announced& a : announced) {
        if (a.event == EVENT_OBJECT_FOCUS) {
            focusPath.push_back(a.window);
        } else if (a.event == EVENT_OBJECT_DESCRIPTIONCHANGE) {
            ++(a.window == focused && std::ranges::count(focusPath, ok) == 0 ? described : elsewhere);
        }
    }
    EXPECT_EQ(described, run.announced) << run.form;
    EXPECT_EQ(elsewhere, 0) << run.form;
    ASSERT_GE(focusPath.size(), 2u) << run.form;
    EXPECT_EQ(focusPath.end()[-2], focused) << run.form;
    EXPECT_EQ(focusPath.back(), ok) << run.form;
}

TEST(ScreenReader, HearsEveryWindowByNameRoleStateAndDescription) {
    Session s(currentTestName());
    s.folder.write("1.dat", testing_support::settingsFile("1", "1", "1"));  // the quick levels
    s.start();
    HWND main = s.showMainWindow();
    ASSERT_NE(main, nullptr);
    checkHeard(main, windowCase("Form1"));
    HWND dialog = s.openSettings(main);
    ASSERT_NE(dialog, nullptr);
    checkHeard(dialog, windowCase("Form6"));
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));

    for (auto [form, entry] : kInformationWindows) {
        HWND window = openFromMenu(s, main, form, entry);
        ASSERT_NE(window, nullptr) << form;
        const WindowCase& w = windowCase(form);
        checkHeard(window, w);
        EXPECT_EQ(hear(window).role, ROLE_SYSTEM_DIALOG) << form;  // read out as it opens
        // A screen reader may still hold an object when its window goes: asked then, it knows nothing
        // of the window any more, and the program runs on.
        const Expected& first = w.objects.front();
        IAccessible* held = accessibleOf(control(window, w.design(), first.control, first.index));
        ASSERT_NE(held, nullptr) << form;
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(window); })) << form;
        VARIANT role{};
        EXPECT_TRUE(SUCCEEDED(held->get_accRole(selfId(), &role))) << form;  // not a fault caught on the way
        BSTR name = nullptr;
        (void)held->get_accName(selfId(), &name);
        EXPECT_NE(take(name), first.name) << form;
        held->Release();
        EXPECT_TRUE(s.kolbrin->running()) << form;
    }

    // The run's result is heard from where the focus is when it ends; the changing texts are announced.
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_DESCRIPTIONCHANGE, nullptr,
                                         onAnnounced, s.kolbrin->pid(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    SetForegroundWindow(main);
    click(control(main, app::form1Design(), "Command1"));
    followRun(s, kRuns[0]);
    const HWND progress = control(s.kolbrin->window("Form4"), optimize::form4Design(), "Label2");
    EXPECT_TRUE(wasAnnounced(EVENT_OBJECT_NAMECHANGE, progress));
    pressKey(VK_RETURN);
    main = s.kolbrin->waitForWindow("Form1", true, 5s);
    ASSERT_NE(main, nullptr);

    // After 「はい」 to the scan question the focus goes to the scan window, through no main window control.
    // (Under Wine the main window itself has it for a moment: Wine's activation focuses a window that took
    // no focus in its WM_ACTIVATE, where Windows leaves that to the window.)
    SetForegroundWindow(main);
    click(control(main, app::form1Design(), "Command2"));
    ASSERT_NE(s.kolbrin->waitForMessageBox(), nullptr);
    takeEvents();
    announced.clear();
    s.answer(IDYES);
    followRun(s, kRuns[1]);
    EXPECT_TRUE(std::ranges::none_of(announced, [&](const Announced& a) { return IsChild(main, a.window); }));
    UnhookWinEvent(hook);
}

// The option groups: the options are their frame's children, the first of each frame and the check
// box start a group, and the arrows go round the options of one frame from top to bottom.
TEST(Keyboard, ArrowsMoveWithinOneFrameFromTopToBottom) {
    Session s(currentTestName());
    s.start();
    HWND main = s.showMainWindow();
    ASSERT_NE(main, nullptr);
    HWND dialog = s.openSettings(main);
    ASSERT_NE(dialog, nullptr);
    const auto& d = settings::form6Design();
    auto option = [&](int index) { return control(dialog, d, "Option1", index); };
    EXPECT_EQ(GetParent(option(0)), control(dialog, d, "Frame1"));
    EXPECT_EQ(GetParent(control(dialog, d, "Option2", 0)), control(dialog, d, "Frame2"));
    EXPECT_TRUE(GetWindowLongW(control(dialog, d, "Frame1"), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    struct Group {
        const char* name;
        int index;
        bool starts;
    };
    for (Group g :
         {Group{"Option1", 1, true}, Group{"Option1", 0, false}, Group{"Option1", 2, false},
          Group{"Option2", 0, true}, Group{"Option2", 1, false}, Group{"Check1", ui::kNoIndex, true}}) {
        EXPECT_EQ((GetWindowLongW(control(dialog, d, g.name, g.index), GWL_STYLE) & WS_GROUP) != 0, g.starts)
            << g.name << g.index;
    }

    // From the top: すばやく簡単 (0), 通常 (1), ゆっくり念入りに (2).
    click(option(2));
    ASSERT_EQ(focusIn(dialog), option(2));
    struct Step {
        WORD key;
        int reached;
    };
    for (Step step : {Step{VK_DOWN, 0}, Step{VK_DOWN, 1}, Step{VK_RIGHT, 2}, Step{VK_UP, 1}, Step{VK_LEFT, 0},
                      Step{VK_UP, 2}}) {
        pressKey(step.key);
        EXPECT_TRUE(waitUntil([&] { return focusIn(dialog) == option(step.reached); }, 3s)) << step.reached;
        EXPECT_TRUE(waitUntil([&] { return checked(option(step.reached)); }, 3s)) << step.reached;
    }
    EXPECT_TRUE(checked(control(dialog, d, "Option2", 1)));  // the other frame is untouched
    // Tab goes on in the design's order, stopping in each frame at its chosen option.
    for (HWND next : {control(dialog, d, "Option2", 1), control(dialog, d, "Check1"),
                      control(dialog, d, "Command1"), option(2)}) {
        pressKey(VK_TAB);
        EXPECT_TRUE(waitUntil([&] { return focusIn(dialog) == next; }, 3s)) << GetDlgCtrlID(next);
    }
    EXPECT_TRUE(checked(option(2)));

    // Escape is no cancel here.
    pressKey(VK_ESCAPE);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(dialog));
}

TEST(Keyboard, EnterOnTheTrayIconShowsTheMainWindowAndEscapeClosesTheInformationWindows) {
    Session s(currentTestName());
    s.start();
    HWND hidden = s.kolbrin->window("Form1");
    ASSERT_NE(hidden, nullptr);
    // What the shell sends for Enter or Space on the icon.
    PostMessageW(control(hidden, app::form1Design(), "picRespond"), WM_MOUSEMOVE, 0, NIN_KEYSELECT);
    HWND main = s.kolbrin->waitForWindow("Form1", true, 5s);
    ASSERT_NE(main, nullptr);
    waitUntil([&] { return GetForegroundWindow() == main; }, 3s);

    for (auto [form, entry] : kInformationWindows) {
        HWND window = openFromMenu(s, main, form, entry);
        ASSERT_NE(window, nullptr) << form;
        ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == window; }, 3s)) << form;
        if (std::string(form) == "Form2") {
            click(control(window, info::form2Design(), "Text1"));  // also from the list
        }
        pressKey(VK_ESCAPE);
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(window); }, 3s)) << form;
    }
    EXPECT_TRUE(IsWindowVisible(main));
}

}  // namespace
}  // namespace e2e
