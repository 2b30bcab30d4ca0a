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

struct FormControls {
    PictureButton* cmdTai = nullptr;
    PictureButton* cmdClear = nullptr;
    PictureButton* cmdHelp = nullptr;
    PictureButton* cmdEnd = nullptr;
    HistoryList* lstRireki = nullptr;
    MeterBar* HScroll1 = nullptr;
    QLabel* Label2 = nullptr;
    // Label2 again, as the control whose double-click, shortcut key and press action change the
    // height.
    ActionLabel* Label2Action = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* lblTai = nullptr;
    std::array<QLabel*, 2> lblHyojun{};
    QLabel* lblHiman = nullptr;
    QLabel* lblHantei = nullptr;
    QLabel* Image1 = nullptr;
    std::array<ShapeControl*, 7> Shape1{};
    ScaleLabel* Label1 = nullptr;
};

// Creates every control of the layout table inside `form` with its geometry, look, tooltip,
// accessible description and tab order. Numbers will be shown in the given locale.
FormControls buildForm(QWidget* form, const QLocale& locale);

// The colour an OLE colour value of the layout table stands for in that palette.
QColor oleColor(quint32 ole, const QPalette& palette);

// Sets a label's background and text colour; repaints only when they change.
void setLabelColors(QLabel* label, const QColor& background, const QColor& text);

} // namespace morvane
