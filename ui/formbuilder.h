#pragma once

// Builds the window's controls from the layout table and hands back the ones the window's
// routines use, typed. A control the routines need that the table lacks, or has with another
// kind, stops the program as the window is built, naming the control.

#include <QColor>

#include <array>

class QLabel;
class QLocale;
class QPalette;
class QWidget;

namespace morvane {

class ActionLabel;
class HistoryList;
class MeterBar;
class PictureButton;
class ScaleLabel;
class ShapeControl;

// The controls the window's routines use, by the names the window is described with.
struct FormControls {
    PictureButton* cmdTai = nullptr;   // 体重: records a weight
    PictureButton* cmdClear = nullptr; // クリア: clears the history
    PictureButton* cmdHelp = nullptr;  // ヘルプ: opens the help
    PictureButton* cmdEnd = nullptr;   // 終了: ends the program
    HistoryList* lstRireki = nullptr;  // the history's lines, oldest first
    MeterBar* HScroll1 = nullptr;      // the meter: ten times the BMI under the needle
    QLabel* Label2 = nullptr;          // the stored height, in metres
    // Label2 again, as the control whose double-click, shortcut key and press action change the
    // height.
    ActionLabel* Label2Action = nullptr;
    QLabel* Label4 = nullptr;              // the BMI
    QLabel* Label5 = nullptr;              // the weight: as entered, or derived from the meter
    QLabel* lblTai = nullptr;              // the weight in the obesity formula
    std::array<QLabel*, 2> lblHyojun{};    // the standard weight, above and below the line
    QLabel* lblHiman = nullptr;            // the obesity degree
    QLabel* lblHantei = nullptr;           // the judgement word, in its band's colours
    QLabel* Image1 = nullptr;              // the needle, over the band under the meter's BMI
    std::array<ShapeControl*, 7> Shape1{}; // the six bands, then the meter's shadow
    ScaleLabel* Label1 = nullptr;          // the scale, 15 to 32
};

// Creates every control of the layout table inside `form` with its geometry, look, tooltip,
// accessible description and tab order. Numbers will be shown in the given locale.
FormControls buildForm(QWidget* form, const QLocale& locale);

// The colour an OLE colour value of the layout table stands for in that palette.
QColor oleColor(quint32 ole, const QPalette& palette);

// Sets a label's background and text colour; repaints only when they change.
void setLabelColors(QLabel* label, const QColor& background, const QColor& text);

} // namespace morvane
