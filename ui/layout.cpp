#include "ui/layout.h"

#include <array>

using namespace Qt::StringLiterals;

namespace morvane::layout {
namespace {

using enum Kind;
using enum Face;

Control button(QString name, int left, QString text, QString tip, int tab, QString description)
{
    return {std::move(name),
            u"frmMain"_s,
            Button,
            left,
            150,
            840,
            915,
            std::move(text),
            Window,
            kWindowPointSize,
            ole::kDefault,
            ole::kDefault,
            false,
            false,
            false,
            std::move(tip),
            tab,
            std::move(description)};
}

Control frame(QString name, int left, int top, int width, int height, QString text, int tab,
              QString description)
{
    return {
        std::move(name), u"frmMain"_s,    Frame,  left,      top,           width,
        height,          std::move(text), Gothic, 11.25,     ole::kDefault, ole::kDefault,
        false,           false,           false,  QString(), tab,           std::move(description)};
}

// A boxed value label of the result panels.
Control value(QString name, QString container, int left, int top, Face face, quint32 background,
              quint32 foreground, QString text, QString description, QString tip = QString())
{
    return {std::move(name),
            std::move(container),
            Label,
            left,
            top,
            945,
            375,
            std::move(text),
            face,
            14.25,
            background,
            foreground,
            true,
            false,
            false,
            std::move(tip),
            -1,
            std::move(description)};
}

// A transparent caption label.
Control caption(QString name, QString container, int left, int top, int width, int height,
                QString text, Face face, double size, bool alignLeft)
{
    return {std::move(name),
            std::move(container),
            Label,
            left,
            top,
            width,
            height,
            std::move(text),
            face,
            size,
            ole::kDefault,
            ole::kDefault,
            false,
            true,
            alignLeft,
            QString(),
            -1,
            QString()};
}

Control shape(QString name, int left, int top, int width, int height, quint32 fill, quint32 outline,
              QString description)
{
    return {std::move(name),
            u"Frame2"_s,
            Shape,
            left,
            top,
            width,
            height,
            QString(),
            Window,
            kWindowPointSize,
            fill,
            outline,
            false,
            false,
            false,
            QString(),
            -1,
            std::move(description)};
}

Control line(QString name, QString container, int x1, int y1, int x2, quint32 colour)
{
    return {std::move(name),
            std::move(container),
            Line,
            x1,
            y1,
            x2 - x1,
            0,
            QString(),
            Window,
            kWindowPointSize,
            ole::kDefault,
            colour,
            false,
            false,
            false,
            QString(),
            -1,
            QString()};
}

const std::array<Control, 43>& table()
{
    static const std::array<Control, 43> t{{
        // The window itself.
        button(u"cmdEnd"_s, 8475, u"終了"_s, u"プログラムを終了します"_s, 3,
               u"終了ボタン。ヘルプを閉じてプログラムを終了します"_s),
        button(u"cmdHelp"_s, 7650, u"ヘルプ"_s, u"ヘルプファイルを開きます"_s, 2,
               u"ヘルプボタン。ヘルプを開きます"_s),
        button(u"cmdClear"_s, 6825, u"クリア"_s, u"カウントと履歴をクリアします"_s, 1,
               u"クリアボタン。確認のあと体重の履歴をすべて削除します"_s),
        frame(u"Frame3"_s, 3600, 4725, 5790, 1890, u"肥満度"_s, 14, u"肥満度の計算式と現在の値"_s),
        frame(u"Frame2"_s, 3600, 1425, 5790, 3150, u"ＢＭＩ"_s, 5,
              u"BMIの判定、メーター、計算式と現在の値"_s),
        frame(u"Frame1"_s, 75, 1425, 3390, 5190, u"  日付　 体重　  BMI　肥満度"_s, 4,
              u"体重の履歴"_s),
        button(u"cmdTai"_s, 6000, u"体重"_s, u"編集した設定で保存します"_s, 0,
               u"体重ボタン。体重を入力して記録します"_s),
        {u"Image2"_s, u"frmMain"_s, Picture, 225, 225, 5190, 840, QString(), Window,
         kWindowPointSize, ole::kDefault, ole::kDefault, false, true, false, QString(), -1,
         u"タイトル Morvane"_s},
        line(u"Line1(0)"_s, u"frmMain"_s, 150, 1275, 9300, ole::white),
        line(u"Line1(1)"_s, u"frmMain"_s, 150, 1260, 9300, ole::black),

        // The history panel.
        {u"lstRireki"_s, u"Frame1"_s, List, 135, 315, 3090, 4560, QString(), Gothic, 11.25,
         ole::kDefault, ole::kDefault, false, false, false, QString(), 16,
         u"記録した体重の履歴。日付、体重、BMI、肥満度の順"_s},

        // The BMI panel.
        {u"HScroll1"_s, u"Frame2"_s, ScrollBar, 150, 1425, 5490, 180, QString(), Window,
         kWindowPointSize, ole::kDefault, ole::kDefault, false, false, false, QString(), 7,
         u"BMIメーター。動かすと、その BMI になる体重を表示します"_s},
        value(u"Label5"_s, u"Frame2"_s, 4005, 1935, Mincho, ole::olive, ole::white, u"1.685"_s,
              u"体重 (Kg)"_s),
        value(u"Label4"_s, u"Frame2"_s, 675, 2250, Mincho, ole::olive, ole::white, u"1.685"_s,
              u"BMI"_s),
        line(u"Line2"_s, u"Frame2"_s, 2160, 2430, 5175, ole::windowText),
        {u"lblHantei"_s, u"Frame2"_s, Label, 3150, 300, 2490, 390, u"Label4"_s, Gothic, 14.25,
         ole::buttonFace, ole::white, true, false, false, QString(), -1, u"判定"_s},
        value(u"Label2"_s, u"Frame2"_s, 4005, 2565, Mincho, ole::olive, ole::white, u"1.685"_s,
              u"身長 (m)。ダブルクリックで身長を変更できます"_s,
              u"ダブルクリックで身長の変更ができます"_s),
        caption(u"Label3(0)"_s, u"Frame2"_s, 540, 1935, 1635, 285, u"ＢＭＩ（体格）指数"_s, Mincho,
                11.25, true),
        caption(u"Label3(1)"_s, u"Frame2"_s, 1845, 2295, 240, 285, u"="_s, Mincho, 14.25, true),
        caption(u"Label3(2)"_s, u"Frame2"_s, 2655, 2025, 1185, 330, u"体重 (Kg)"_s, Mincho, 11.25,
                true),
        caption(u"Label3(4)"_s, u"Frame2"_s, 2700, 2655, 1005, 300, u"身長 (m)"_s, Mincho, 11.25,
                true),
        caption(u"Label3(5)"_s, u"Frame2"_s, 5040, 2565, 195, 240, u"2"_s, Mincho, 9.75, true),
        shape(u"Shape1(6)"_s, 195, 1500, 5475, 135, ole::black, ole::black, u"メーターの影"_s),
        {u"Image1"_s, u"Frame2"_s, Picture, 2805, 1125, 480, 480, QString(), Window,
         kWindowPointSize, ole::kDefault, ole::kDefault, false, true, false, QString(), -1,
         u"メーターの針"_s},
        {u"Label1"_s, u"Frame2"_s, Scale, 150, 750, 5490, 240,
         u"15....16....17....18....19....20....21....22....23....24....25....26....27....28...."
         u"29....30....31....32"_s,
         Window, kWindowPointSize, ole::teal, ole::white, true, false, false, QString(), -1,
         u"BMIの目盛り 15 から 32"_s},
        shape(u"Shape1(0)"_s, 150, 1065, 780, 105, ole::lightBlue, ole::windowText,
              u"やせ過ぎの範囲"_s),
        shape(u"Shape1(1)"_s, 915, 1065, 930, 105, ole::lightCyan, ole::windowText,
              u"やせ気味の範囲"_s),
        shape(u"Shape1(2)"_s, 1830, 1065, 1215, 105, ole::lightGreen, ole::windowText,
              u"スタンダードの範囲"_s),
        shape(u"Shape1(3)"_s, 3030, 1065, 780, 105, ole::yellow, ole::windowText,
              u"でぶメゾフォルテの範囲"_s),
        shape(u"Shape1(4)"_s, 3780, 1065, 1065, 105, ole::lightMagenta, ole::windowText,
              u"でぶフォルテの範囲"_s),
        shape(u"Shape1(5)"_s, 4830, 1065, 810, 105, ole::lightRed, ole::windowText,
              u"でぶフォルテシモの範囲"_s),

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
