#include "app/form1_help.h"

#include <QStringList>

namespace veldra {

namespace {

// Line by line; the leading blank of most lines is the ideographic space.
const char* const kHelpLines[] = {
    "※塗り対象は",
    "　円・楕円、連続の",
    "　線・円弧に囲まれた",
    "　部分のみです。",
    "　",
    "※保存画像色の指定",
    "　により指定した色が",
    "　変化する場合があり",
    "　ますので注意して",
    "　下さい。",
    "　",
    "※画像・ソリッドと重ね",
    "　た場合は、元画像、",
    "　元ソリッドはそのまま",
    "　になり、それらと作成",
    "　した画像が重なった",
    "　状態になりますので",
    "　注意して下さい。",
    "※BMP以外の画像、",
    "　回転・トリミング画像",
    "　には未対応です。",
    "※作成される画像の",
    "　縦横サイズは、この",
    "　画面のサイズとなり",
    "　ます。元画像サイズ",
    "　が大きい場合には",
    "　作成される画像は",
    "　粗い状態となります",
    "　ので注意して下さい。",
    "　",
    "◆ブロック図形内のもの",
    "　は処理出来ませんので",
    "　御注意下さい。",
    "　ブロック編集内で行う",
    "　場合には、本ソフトを",
    "　Jw_cadのインストール・",
    "　フォルダに配置して",
    "　実行を行って下さい。",
    "◆ウイルス／セキュリティ",
    "　ソフト／セキュリティ",
    "　設定の画面が表示",
    "　され、許可／遮断を",
    "　問い合わせてきた場合",
    "　には「許可」を選択して",
    "　下さい。",
};

}  // namespace

QString HelpText() {
    QStringList lines;
    for (const char* line : kHelpLines) lines << QString::fromUtf8(line);
    return lines.join(u'\n');
}

}  // namespace veldra
