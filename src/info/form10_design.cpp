#include "info/info_window.h"

namespace info {

using namespace ui;

namespace {

const Colour kWhite = rgb(255, 255, 255);

ControlDesign nameLabel(std::string name, Rect rect, std::string caption, std::string tooltip = {}) {
    return {.name = std::move(name),
            .kind = ControlKind::Label,
            .rect = rect,
            .caption = std::move(caption),
            .tooltip = std::move(tooltip),
            .back = kWhite,
            .fore = rgb(0, 0, 0),
            .font = {kPGothic, 12, true}};
}

ControlDesign valueLabel(std::string name, Rect rect, std::string caption) {
    return {.name = std::move(name),
            .kind = ControlKind::Label,
            .rect = rect,
            .caption = std::move(caption),
            .back = kWhite,
            .fore = rgb(255, 0, 0),
            .font = {kPGothic, 14.25, true}};
}

}  // namespace

const FormDesign& form10Design() {
    static const FormDesign design{
        .name = "Form10",
        .caption = "各機能のバージョン",
        .unit = Unit::Pixels,
        .clientWidth = 369,
        .clientHeight = 199,
        .border = Border::FixedToolWindow,
        .showInTaskbar = false,
        .back = kWhite,
        .controls =
            {
                {.name = "Command1",
                 .kind = ControlKind::Button,
                 .rect = {273, 56, 82, 36},
                 .caption = "OK",
                 .back = rgb(255, 128, 255),
                 .font = {kPGothic, 14.25},
                 .tabIndex = 0,
                 .isDefault = true,
                 .isCancel = true,
                 .handCursor = true,
                 .style = ButtonStyle::Graphical},
                nameLabel("Label1", {0, 7, 92, 15}, "最適化指数",
                          "メモリ最適化機能の効果を表す指数です。この数字が大きいほど効果があり、"
                          "効果は数字に比例しています。"),
                valueLabel("Label2", {98, 7, 36, 22}, "180"),
                nameLabel("Label3", {0, 28, 141, 22}, "ウィルス定義データ",
                          "ウィルススキャンでのウィルスのパターンデータです。"),
                valueLabel("Label4", {154, 28, 78, 22}, "Ver.1.10"),
                nameLabel("Label5", {0, 49, 155, 22}, "メモリ内異常スキャン",
                          "メモリ内の異常部分をチェックする機能のバージョンです。"),
                valueLabel("Label6", {168, 49, 78, 22}, "Ver.0.10"),
                nameLabel("Label7", {0, 70, 141, 15}, "データ配置チェック",
                          "メモリ内のデータの配置の異常をチェックする機能のバージョンです。"),
                valueLabel("Label8", {147, 70, 78, 22}, "Ver.0.01"),
                nameLabel("Label9", {0, 91, 162, 15}, "メモリ安定度 チェック",
                          "メモリの安定をチェックする機能のバージョンです。"),
                valueLabel("Label10", {168, 91, 78, 22}, "Ver.0.01"),
                nameLabel("Label11", {0, 112, 183, 15}, "メモリフォーマットチェック"),
                valueLabel("Label12", {196, 112, 78, 22}, "Ver.0.12"),
                nameLabel("Label13", {0, 133, 204, 15}, "バックアップしながら最適化"),
                valueLabel("Label14", {217, 133, 78, 22}, "Ver.1.50"),
                nameLabel("Label15", {0, 154, 281, 15}, "実行ﾌｧｲﾙを起動させる毎に簡易ﾁｪｯｸ"),
                valueLabel("Label16", {280, 152, 86, 22}, "一時休止"),
                nameLabel("Label17", {0, 176, 97, 17}, "設定ファイル"),
                valueLabel("Label23", {104, 176, 81, 17}, "Ver.1.00"),
            },
        .dialog = true,
    };
    return design;
}

}  // namespace info
