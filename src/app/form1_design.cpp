#include "app/form1.h"

namespace app {

using namespace ui;

namespace {

ControlDesign commandButton(std::string name, Rect rect, std::string caption, std::string tooltip,
                            Colour back, int tab) {
    return {.name = std::move(name),
            .kind = ControlKind::Button,
            .rect = rect,
            .caption = std::move(caption),
            .tooltip = std::move(tooltip),
            .back = back,
            .tabIndex = tab,
            .handCursor = true,
            .style = ButtonStyle::Graphical};
}

}  // namespace

const FormDesign& form1Design() {
    static const FormDesign design{
        .name = "Form1",
        .caption = "Kolbrin Ver.1.20",
        .unit = Unit::Twips,
        .clientWidth = 2940,
        .clientHeight = 1815,
        .border = Border::Sizable,
        .back = systemColour(kColour3dLight),
        .icon = Picture::MainIcon,
        .controls =
            {
                commandButton("Command1", {210, 120, 2535, 330}, "最適化開始", "メモリの最適化を行います",
                              rgb(128, 128, 255), 0),
                commandButton("Command3", {210, 945, 2535, 330}, "設定", "各種設定を行います",
                              rgb(128, 255, 128), 1),
                {.name = "picRespond",
                 .kind = ControlKind::PictureBox,
                 .rect = {0, 0, 480, 480},
                 .tabIndex = 2,
                 .visible = false},
                commandButton("Command2", {210, 525, 2535, 330}, "メモリスキャン β",
                              "メモリのスキャンをします", rgb(255, 128, 255), 3),
                commandButton("Command4", {210, 1365, 1590, 330}, "閉じる", "ウィンドウを隠します",
                              systemColour(kColourButtonFace), 4),
                commandButton("Command5", {1890, 1365, 855, 330}, "終了する", "プログラムを終了します",
                              rgb(128, 255, 255), 5),
            },
        // Not part of the window's look: retries adding the tray icon while the shell is not ready.
        .timers = {{.name = "trayRetry", .intervalMs = 1000, .enabled = false}},
        .menus =
            {
                {"aFile",
                 "操作(&S)",
                 {
                     {"aKaishi", "最適化開始(&A)"},
                     {"aMemscan", "メモリスキャン(&C)"},
                     {"aBow1", "", true},
                     {"aToji", "閉じる(&Q)"},
                     {"aEnd", "終了(&E)"},
                 }},
                {"aSonota",
                 "その他(&T)",
                 {
                     {"aSettei", "設定(&Z)"},
                     {"aTecver", "各機能のバージョン(&T)"},
                     {"aTarn", "使用Tarnテクノロジ(&X)"},
                     {"aBow2", "", true},
                     {"aHelp", "ヘルプ(&H)"},
                     {"aVersion", "バージョン情報"},
                 }},
            },
    };
    return design;
}

}  // namespace app
