#include "ui/layout.h"

#include "measure/bands.h"

#include <array>

using namespace Qt::StringLiterals;

namespace morvane::layout {
namespace {

using enum Kind;
using enum Face;

Control button(QString name, int left, QString text, QString tip, int tab, QString description)
{
    return {.name = std::move(name),
            .container = u"frmMain"_s,
            .kind = Button,
            .left = left,
            .top = 150,
            .width = 840,
            .height = 915,
            .text = std::move(text),
            .toolTip = std::move(tip),
            .tabIndex = tab,
            .description = std::move(description)};
}

Control frame(QString name, int left, int top, int width, int height, QString text, int tab,
              QString description)
{
    return {.name = std::move(name),
            .container = u"frmMain"_s,
            .kind = Frame,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .text = std::move(text),
            .face = Gothic,
            .pointSize = 11.25,
            .tabIndex = tab,
            .description = std::move(description)};
}

// A boxed value label of the result panels.
Control value(QString name, QString container, int left, int top, Face face, quint32 background,
              quint32 foreground, QString text, QString description, QString tip = QString())
{
    return {.name = std::move(name),
            .container = std::move(container),
            .kind = Label,
            .left = left,
            .top = top,
            .width = 945,
            .height = 375,
            .text = std::move(text),
            .face = face,
            .pointSize = 14.25,
            .background = background,
            .foreground = foreground,
            .boxed = true,
            .toolTip = std::move(tip),
            .description = std::move(description)};
}

// The control, whose routine a double-click runs.
Control activating(Control c)
{
    c.activates = true;
    return c;
}

// A transparent caption label of the formulas.
Control caption(QString name, QString container, int left, int top, int width, int height,
                QString text, Face face, double size, bool alignLeft)
{
    return {.name = std::move(name),
            .container = std::move(container),
            .kind = Label,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .text = text,
            .face = face,
            .pointSize = size,
            .transparent = true,
            .alignLeft = alignLeft,
            .description = u"計算式の見出し「"_s + text + u"」"_s};
}

Control shape(QString name, int left, int top, int width, int height, quint32 fill, quint32 outline,
              QString accessibleName, QString description)
{
    return {.name = std::move(name),
            .container = u"Frame2"_s,
            .kind = Shape,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .background = fill,
            .foreground = outline,
            .accessibleName = std::move(accessibleName),
            .description = std::move(description)};
}

// A rectangle of the band bar, named by the judgement word of its band (1 to 6).
Control band(QString name, int number, int left, int width, quint32 fill)
{
    const QString word = bands()[std::size_t(number - 1)].caption;
    return shape(std::move(name), left, 1065, width, 105, fill, ole::windowText, word,
                 word + u"の範囲"_s);
}

// A line from (x1, y) to (x2, y).
Control line(QString name, QString container, int x1, int y, int x2, quint32 colour)
{
    const bool rule = container == u"frmMain";
    return {.name = std::move(name),
            .container = std::move(container),
            .kind = Line,
            .left = x1,
            .top = y,
            .width = x2 - x1,
            .height = 0,
            .foreground = colour,
            .accessibleName = rule ? u"区切り線"_s : u"分数の線"_s,
            .description = rule ? u"区切り線"_s : u"分数の線"_s};
}

const std::array<Control, 43>& table()
{
    static const std::array<Control, 43> t{{
        // The window itself.
        button(u"cmdEnd"_s, 8475, u"終了"_s, u"プログラムを終了します"_s, 3,
               u"終了ボタン。ヘルプを閉じてプログラムを終了します。Enter キーでも押せます"_s),
        button(
            u"cmdHelp"_s, 7650, u"ヘルプ"_s, u"ヘルプファイルを開きます"_s, 2,
            u"ヘルプボタン。ヘルプを開きます。Enter キーでも押せます。F1 キーでどこからでも開けます"_s),
        button(u"cmdClear"_s, 6825, u"クリア"_s, u"カウントと履歴をクリアします"_s, 1,
               u"クリアボタン。確認のあと体重の履歴をすべて削除します。Enter キーでも押せます"_s),
        frame(u"Frame3"_s, 3600, 4725, 5790, 1890, u"肥満度"_s, 14, u"肥満度の計算式と現在の値"_s),
        frame(u"Frame2"_s, 3600, 1425, 5790, 3150, u"ＢＭＩ"_s, 5,
              u"BMIの判定、メーター、計算式と現在の値"_s),
        frame(u"Frame1"_s, 75, 1425, 3390, 5190, u"  日付　 体重　  BMI　肥満度"_s, 4,
              u"体重の履歴"_s),
        button(u"cmdTai"_s, 6000, u"体重"_s, u"編集した設定で保存します"_s, 0,
               u"体重ボタン。体重を入力して記録します。Enter キーでも押せます"_s),
        {.name = u"Image2"_s,
         .container = u"frmMain"_s,
         .kind = Picture,
         .left = 225,
         .top = 225,
         .width = 5190,
         .height = 840,
         .transparent = true,
         .accessibleName = u"Morvane"_s,
         .description = u"タイトル Morvane"_s},
        line(u"Line1(0)"_s, u"frmMain"_s, 150, 1275, 9300, ole::white),
        line(u"Line1(1)"_s, u"frmMain"_s, 150, 1260, 9300, ole::black),

        // The history panel.
        {.name = u"lstRireki"_s,
         .container = u"Frame1"_s,
         .kind = List,
         .left = 135,
         .top = 315,
         .width = 3090,
         .height = 4560,
         .face = Gothic,
         .pointSize = 11.25,
         .tabIndex = 16,
         .accessibleName = u"体重の履歴"_s,
         .description = u"記録した体重の履歴。日付、体重、BMI、肥満度の順。Shift+F10 "
                        u"キーまたはアプリケーション "
                        u"キーでメニューを開きます。Delete キーで選んだ記録を削除し、Ctrl+Z "
                        u"で元に戻します"_s},

        // The BMI panel.
        {.name = u"HScroll1"_s,
         .container = u"Frame2"_s,
         .kind = ScrollBar,
         .left = 150,
         .top = 1425,
         .width = 5490,
         .height = 180,
         .tabIndex = 7,
         .accessibleName = u"BMIメーター"_s,
         .description = u"BMIメーター。動かすと、その BMI になる体重を表示します"_s},
        value(u"Label5"_s, u"Frame2"_s, 4005, 1935, Mincho, ole::olive, ole::white, u"1.685"_s,
              u"体重 (Kg)"_s),
        value(u"Label4"_s, u"Frame2"_s, 675, 2250, Mincho, ole::olive, ole::white, u"1.685"_s,
              u"BMI"_s),
        line(u"Line2"_s, u"Frame2"_s, 2160, 2430, 5175, ole::windowText),
        {.name = u"lblHantei"_s,
         .container = u"Frame2"_s,
         .kind = Label,
         .left = 3150,
         .top = 300,
         .width = 2490,
         .height = 390,
         .text = u"Label4"_s,
         .face = Gothic,
         .pointSize = 14.25,
         .background = ole::buttonFace,
         .foreground = ole::white,
         .boxed = true,
         .description = u"判定"_s},
        activating(value(u"Label2"_s, u"Frame2"_s, 4005, 2565, Mincho, ole::olive, ole::white,
                         u"1.685"_s,
                         u"身長 (m)。ダブルクリックまたは F2 キーで身長を変更できます"_s,
                         u"ダブルクリックで身長の変更ができます"_s)),
        caption(u"Label3(0)"_s, u"Frame2"_s, 540, 1935, 1635, 285, u"ＢＭＩ（体格）指数"_s, Mincho,
                11.25, true),
        caption(u"Label3(1)"_s, u"Frame2"_s, 1845, 2295, 240, 285, u"="_s, Mincho, 14.25, true),
        caption(u"Label3(2)"_s, u"Frame2"_s, 2655, 2025, 1185, 330, u"体重 (Kg)"_s, Mincho, 11.25,
                true),
        caption(u"Label3(4)"_s, u"Frame2"_s, 2700, 2655, 1005, 300, u"身長 (m)"_s, Mincho, 11.25,
                true),
        caption(u"Label3(5)"_s, u"Frame2"_s, 5040, 2565, 195, 240, u"2"_s, Mincho, 9.75, true),
        shape(u"Shape1(6)"_s, 195, 1500, 5475, 135, ole::black, ole::black, u"メーターの影"_s,
              u"メーターの影"_s),
        {.name = u"Image1"_s,
         .container = u"Frame2"_s,
         .kind = Picture,
         .left = 2805,
         .top = 1125,
         .width = 480,
         .height = 480,
         .transparent = true,
         .accessibleName = u"メーターの針"_s,
         .description = u"メーターの針"_s},
        {.name = u"Label1"_s,
         .container = u"Frame2"_s,
         .kind = Scale,
         .left = 150,
         .top = 750,
         .width = 5490,
         .height = 240,
         .text = u"15....16....17....18....19....20....21....22....23....24....25....26....27...."
                 u"28....29....30....31....32"_s,
         .background = ole::teal,
         .foreground = ole::white,
         .boxed = true,
         .description = u"BMIの目盛り 15 から 32"_s},
        band(u"Shape1(0)"_s, 1, 150, 780, ole::lightBlue),
        band(u"Shape1(1)"_s, 2, 915, 930, ole::lightCyan),
        band(u"Shape1(2)"_s, 3, 1830, 1215, ole::lightGreen),
        band(u"Shape1(3)"_s, 4, 3030, 780, ole::yellow),
        band(u"Shape1(4)"_s, 5, 3780, 1065, ole::lightMagenta),
        band(u"Shape1(5)"_s, 6, 4830, 810, ole::lightRed),

        // The obesity panel.
        caption(u"Label9(5)"_s, u"Frame3"_s, 3150, 720, 465, 240, u"－"_s, Gothic, 11.25, false),
        caption(u"Label9(4)"_s, u"Frame3"_s, 4905, 1035, 780, 240, u"×１００"_s, Gothic, 9.75,
                false),
        value(u"lblTai"_s, u"Frame3"_s, 2115, 675, Gothic, ole::maroon, ole::highlightText,
              u"1.685"_s, u"体重（Ｋｇ）"_s),
        value(u"lblHyojun(0)"_s, u"Frame3"_s, 3780, 675, Gothic, ole::maroon, ole::highlightText,
              u"1.685"_s, u"標準体重（Ｋｇ）"_s),
        value(u"lblHyojun(1)"_s, u"Frame3"_s, 3780, 1260, Gothic, ole::maroon, ole::highlightText,
              u"1.685"_s, u"標準体重（Ｋｇ）"_s),
        value(u"lblHiman"_s, u"Frame3"_s, 405, 990, Gothic, ole::maroon, ole::highlightText,
              u"-38.5"_s, u"肥満度（％）"_s),
        caption(u"Label9(3)"_s, u"Frame3"_s, 270, 675, 1275, 240, u"肥満度（％）"_s, Gothic, 11.25,
                false),
        caption(u"Label9(2)"_s, u"Frame3"_s, 1440, 1035, 315, 240, u"＝"_s, Gothic, 11.25, false),
        caption(u"Label9(1)"_s, u"Frame3"_s, 2115, 360, 3525, 240,
                u"体重（Ｋｇ）       標準体重（Ｋｇ）"_s, Gothic, 11.25, true),
        caption(u"Label9(0)"_s, u"Frame3"_s, 1980, 1350, 1680, 240, u"標準体重（Ｋｇ）"_s, Gothic,
                11.25, false),
        line(u"Line3(1)"_s, u"Frame3"_s, 1890, 1125, 4950, ole::windowText),
    }};
    return t;
}

} // namespace

std::span<const Control> controls()
{
    return table();
}

const Control* find(const QString& name)
{
    for (const Control& c : table()) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

} // namespace morvane::layout
