#pragma once

// The window's layout as data: every control with its container, kind, rectangle in twips,
// design-time content, picture, font, colours, border, alignment, tooltip, tab index and
// accessible description. The form builder makes the window from this table; what it adds is
// shared by every control of a kind (a button's icon size, the list's scrolling, the meter's
// range and classic style), so one control's look is changed here and nowhere else. The band
// rectangles take their colours and names from the judgement bands.

#include <QString>

#include <span>

namespace morvane::layout {

// Positions and sizes are in twips (1/1440 inch); 15 twips are one pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;
constexpr int px(int twips)
{
    // round(twips / 15), halves away from zero as the rectangles are never negative.
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// The window's client area.
inline constexpr int kClientWidthTwips = 9465;
inline constexpr int kClientHeightTwips = 6780;

enum class Kind { Button, Frame, List, ScrollBar, Label, Scale, Line, Shape, Picture };

// Colours are OLE colour values: 0x00BBGGRR explicit, 0x80000000 + n system colour n.
namespace ole {
inline constexpr quint32 kDefault = 0xFFFFFFFF; // the kind's default colour
inline constexpr quint32 windowBackground = 0x80000005;
inline constexpr quint32 windowText = 0x80000008;
inline constexpr quint32 highlightText = 0x8000000E;
inline constexpr quint32 buttonFace = 0x8000000F;
inline constexpr quint32 buttonText = 0x80000012;
inline constexpr quint32 maroon = 0x00000080;
inline constexpr quint32 olive = 0x00008080;
inline constexpr quint32 teal = 0x00808000;
inline constexpr quint32 white = 0x00FFFFFF;
inline constexpr quint32 black = 0x00000000;

// The explicit OLE colour of a 0xAARRGGBB colour.
constexpr quint32 fromRgb(quint32 rgb)
{
    return ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}
} // namespace ole

enum class Face { Window, Gothic, Mincho };

// What a control shows besides its design-time caption, which decides whether its font's own
// face covers everything it will draw.
enum class Content {
    Caption,   // the caption only, or no text at all
    Number,    // numbers formatted in the window's locale
    Judgement, // a judgement word
    FileText,  // text read from a file: anything at all
};

// The meter. Its scale runs at 300 twips per BMI unit, anchored on the left edge of the yellow
// band Shape1(3), 3030 twips inside the BMI panel: the scale position of BMI b is
// 3030 + 20 + (b - 24) * 300. The scroll bar starts at 155 (BMI 15.5) until start-up sets it.
inline constexpr int kShape3LeftTwips = 3030;
inline constexpr int kTwipsPerBmi = 300;
inline constexpr qint16 kMeterStartPosition = 155;
double scaleX(double bmi);
// The needle picture's left edge for the needle standing at BMI `needle`:
// (3030 + 20) - ((24 - needle) * 300 + 240) twips, formed in double and rounded to single once,
// so that the picture's centre line stands on scaleX(needle).
float needleLeft(float needle);

// The font families the window names; they are mapped to installed fonts at start-up.
inline const QString kGothicFamily = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kMinchoFamily = QStringLiteral("ＭＳ Ｐ明朝");
inline constexpr double kWindowPointSize = 9.0;

struct Control {
    QString name = {};      // objectName, e.g. "lblHyojun(0)"
    QString container = {}; // "frmMain", "Frame1", "Frame2" or "Frame3"
    Kind kind = Kind::Label;
    int left = 0; // twips; a line runs from (left, top) to (left + width, top)
    int top = 0;
    int width = 0;
    int height = 0;
    QString text = {};    // design-time caption
    QString picture = {}; // resource path of a button's icon or a picture's image
    Face face = Face::Window;
    double pointSize = kWindowPointSize;
    quint32 background = ole::kDefault;
    quint32 foreground = ole::kDefault;
    bool boxed = false;       // sunken single border
    bool transparent = false; // draws no background
    bool alignLeft = false;   // otherwise centred
    QString toolTip = {};
    int tabIndex = -1; // -1: takes no part in the numbering
    // What assistive technology calls the control, Japanese; empty for controls that show a
    // text of their own (buttons, frames, labels), which is then read instead.
    QString accessibleName = {};
    QString description = {}; // accessible description, Japanese
    bool activates = false;   // a double-click runs the control's routine
    Content content = Content::Caption;
};

// Every control, grouped by container; within a container from front to back.
std::span<const Control> controls();

// The control of that name; nullptr when there is none.
const Control* find(const QString& name);

} // namespace morvane::layout
