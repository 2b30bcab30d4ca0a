#include "ui/layout.h"

#include "assets/pictures.h"
#include "measure/bands.h"

#include <QCoreApplication>

#include <array>

using namespace Qt::StringLiterals;

namespace morvane::layout {
namespace {

// The translation context of the window's captions, tooltips and descriptions. The table is
// built, and its texts translated, when the window is first built, after the program has
// installed its translations.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(morvane::layout)
};

using enum Kind;
using enum Face;

Control button(QString name, int left, QString text, QString picture, QString tip, int tab,
               QString description)
{
    return {.name = std::move(name),
            .container = u"frmMain"_s,
            .kind = Button,
            .left = left,
            .top = 150,
            .width = 840,
            .height = 915,
            .text = std::move(text),
            .picture = std::move(picture),
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
            .description = std::move(description),
            .content = Content::Number};
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
            .description = Texts::tr("計算式の見出し「%1」").arg(text)};
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

// A rectangle of the band bar, named and coloured by its judgement band (1 to 6).
Control band(int number, int left, int width)
{
    const Band& b = bands()[std::size_t(number - 1)];
    return shape(u"Shape1(%1)"_s.arg(number - 1), left, 1065, width, 105,
                 ole::fromRgb(b.background), ole::windowText, b.caption,
                 Texts::tr("%1の範囲").arg(b.caption));
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
            .accessibleName = rule ? Texts::tr("区切り線") : Texts::tr("分数の線"),
            .description = rule ? Texts::tr("区切り線") : Texts::tr("分数の線")};
}

const std::array<Control, 42>& table()
{
    static const std::array<Control, 42> t{{
        // The window itself.
        button(
            u"cmdEnd"_s, 8475, Texts::tr("終了"), pictures::exitPath(),
            Texts::tr("プログラムを終了します"), 3,
            Texts::tr("終了ボタン。ヘルプを閉じてプログラムを終了します。Enter キーでも押せます")),
        button(u"cmdHelp"_s, 7650, Texts::tr("ヘルプ"), pictures::helpPath(),
               Texts::tr("ヘルプファイルを開きます"), 2,
               Texts::tr("ヘルプボタン。ヘルプを開きます。Enter キーでも押せます。F1 "
                         "キーでどこからでも開けます")),
        button(u"cmdClear"_s, 6825, Texts::tr("クリア"), pictures::clearPath(),
               Texts::tr("カウントと履歴をクリアします"), 1,
               Texts::tr(
                   "クリアボタン。確認のあと体重の履歴をすべて削除します。Enter キーでも押せます")),
        frame(u"Frame3"_s, 3600, 4725, 5790, 1890, Texts::tr("肥満度"), 14,
              Texts::tr("肥満度の計算式と現在の値")),
        frame(u"Frame2"_s, 3600, 1425, 5790, 3150, Texts::tr("ＢＭＩ"), 5,
              Texts::tr("BMIの判定、メーター、計算式と現在の値")),
        frame(u"Frame1"_s, 75, 1425, 3390, 5190, Texts::tr("  日付　 体重　  BMI　肥満度"), 4,
              Texts::tr("体重の履歴")),
        button(u"cmdTai"_s, 6000, Texts::tr("体重"), pictures::personPath(),
               Texts::tr("編集した設定で保存します"), 0,
               Texts::tr("体重ボタン。体重を入力して記録します。Enter キーでも押せます")),
        {.name = u"Image2"_s,
         .container = u"frmMain"_s,
         .kind = Picture,
         .left = 225,
         .top = 225,
         .width = 5190,
         .height = 840,
         .picture = pictures::bannerPath(),
         .transparent = true,
         .accessibleName = u"Morvane"_s,
         .description = Texts::tr("タイトル Morvane")},
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
         .accessibleName = Texts::tr("体重の履歴"),
         .description = Texts::tr("記録した体重の履歴。日付、体重、BMI、肥満度の順。Shift+F10 "
                                  "キーまたはアプリケーション キーでメニューを開きます。Delete "
                                  "キーで選んだ記録を削除し、Ctrl+Z で元に戻します"),
         .content = Content::FileText},

        // The BMI panel.
        {.name = u"HScroll1"_s,
         .container = u"Frame2"_s,
         .kind = ScrollBar,
         .left = 150,
         .top = 1425,
         .width = 5490,
         .height = 180,
         .tabIndex = 7,
         .accessibleName = Texts::tr("BMIメーター"),
         .description = Texts::tr("BMIメーター。動かすと、その BMI になる体重を表示します")},
        value(u"Label5"_s, u"Frame2"_s, 4005, 1935, Mincho, ole::olive, ole::white, u"1.685"_s,
              Texts::tr("体重 (Kg)")),
        value(u"Label4"_s, u"Frame2"_s, 675, 2250, Mincho, ole::olive, ole::white, u"1.685"_s,
              Texts::tr("BMI")),
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
         .description = Texts::tr("判定"),
         .content = Content::Judgement},
        activating(value(u"Label2"_s, u"Frame2"_s, 4005, 2565, Mincho, ole::olive, ole::white,
                         u"1.685"_s,
                         Texts::tr("身長 (m)。ダブルクリックまたは F2 キーで身長を変更できます"),
                         Texts::tr("ダブルクリックで身長の変更ができます"))),
        caption(u"Label3(0)"_s, u"Frame2"_s, 540, 1935, 1635, 285, Texts::tr("ＢＭＩ（体格）指数"),
                Mincho, 11.25, true),
        caption(u"Label3(1)"_s, u"Frame2"_s, 1845, 2295, 240, 285, u"="_s, Mincho, 14.25, true),
        caption(u"Label3(2)"_s, u"Frame2"_s, 2655, 2025, 1185, 330, Texts::tr("体重 (Kg)"), Mincho,
                11.25, true),
        caption(u"Label3(4)"_s, u"Frame2"_s, 2700, 2655, 1005, 300, Texts::tr("身長 (m)"), Mincho,
                11.25, true),
        caption(u"Label3(5)"_s, u"Frame2"_s, 5040, 2565, 195, 240, u"2"_s, Mincho, 9.75, true),
        shape(u"Shape1(6)"_s, 195, 1500, 5475, 135, ole::black, ole::black,
              Texts::tr("メーターの影"), Texts::tr("メーターの影")),
        {.name = u"Image1"_s,
         .container = u"Frame2"_s,
         .kind = Picture,
         .left = 2805,
         .top = 1125,
         .width = 480,
         .height = 480,
         .picture = pictures::pointerPath(),
         .transparent = true,
         .accessibleName = Texts::tr("メーターの針"),
         .description = Texts::tr("メーターの針")},
        {.name = u"Label1"_s,
         .container = u"Frame2"_s,
         .kind = Scale,
         .left = 150,
         .top = 750,
         .width = 5490,
         .height = 240,
         .text =
             u"15....16....17....18....19....20....21....22....23....24....25....26....27....28....29....30....31....32"_s,
         .background = ole::teal,
         .foreground = ole::white,
         .boxed = true,
         .description = Texts::tr("BMIの目盛り 15 から 32")},
        band(1, 150, 780),
        band(2, 915, 930),
        band(3, 1830, 1215),
        band(4, kShape3LeftTwips, 780),
        band(5, 3780, 1065),
        band(6, 4830, 810),

        // The obesity panel.
        caption(u"Label9(5)"_s, u"Frame3"_s, 3150, 720, 465, 240, Texts::tr("－"), Gothic, 11.25,
                false),
        caption(u"Label9(4)"_s, u"Frame3"_s, 4905, 1035, 780, 240, Texts::tr("×１００"), Gothic,
                9.75, false),
        value(u"lblTai"_s, u"Frame3"_s, 2115, 675, Gothic, ole::maroon, ole::highlightText,
              u"1.685"_s, Texts::tr("体重（Ｋｇ）")),
        value(u"lblHyojun(0)"_s, u"Frame3"_s, 3780, 675, Gothic, ole::maroon, ole::highlightText,
              u"1.685"_s, Texts::tr("標準体重（Ｋｇ）")),
        value(u"lblHyojun(1)"_s, u"Frame3"_s, 3780, 1260, Gothic, ole::maroon, ole::highlightText,
              u"1.685"_s, Texts::tr("標準体重（Ｋｇ）")),
        value(u"lblHiman"_s, u"Frame3"_s, 405, 990, Gothic, ole::maroon, ole::highlightText,
              u"-38.5"_s, Texts::tr("肥満度（％）")),
        caption(u"Label9(3)"_s, u"Frame3"_s, 270, 675, 1275, 240, Texts::tr("肥満度（％）"), Gothic,
                11.25, false),
        caption(u"Label9(2)"_s, u"Frame3"_s, 1440, 1035, 315, 240, Texts::tr("＝"), Gothic, 11.25,
                false),
        caption(u"Label9(1)"_s, u"Frame3"_s, 2115, 360, 3525, 240,
                Texts::tr("体重（Ｋｇ）       標準体重（Ｋｇ）"), Gothic, 11.25, true),
        caption(u"Label9(0)"_s, u"Frame3"_s, 1980, 1350, 1680, 240, Texts::tr("標準体重（Ｋｇ）"),
                Gothic, 11.25, false),
        line(u"Line3(1)"_s, u"Frame3"_s, 1890, 1125, 4950, ole::windowText),
    }};
    return t;
}

} // namespace

double scaleX(double bmi)
{
    return kShape3LeftTwips + 20 + (bmi - 24.0) * kTwipsPerBmi;
}

float needleLeft(float needle)
{
    return static_cast<float>((kShape3LeftTwips + 20.0) -
                              ((24.0 - static_cast<double>(needle)) * kTwipsPerBmi + 240.0));
}

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
