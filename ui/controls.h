#pragma once

// The window's own controls. The lightweight ones (lines, filled rectangles, the meter's scale
// label) draw themselves and never take the focus; the band rectangles and the scale take the
// mouse only to show their tooltips. The captioned frames paint from a picture of themselves;
// the meter's scroll bar, the height label and the picture buttons add what the keyboard and
// assistive technology need.

#include <QColor>
#include <QGroupBox>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QPixmap>
#include <QScrollBar>
#include <QToolButton>
#include <QWidget>

class QShortcut;

namespace morvane {

// A frame with a caption that paints itself from a picture of itself: the meter's needle and the
// values inside it change many times a second, and each change would otherwise lay out and draw
// the caption and the etched border again beneath them.
class FrameBox : public QGroupBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrameBox)

public:
    explicit FrameBox(const QString& title, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // How far inside the contents the style's own drawing of the frame ends (pixels).
    static constexpr int kBand = 8;
    void drawPicture(qreal dpr);

    QPixmap m_picture;
};

// A one-pixel horizontal line in one colour.
class LineControl : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LineControl)

public:
    explicit LineControl(QWidget* parent = nullptr);
    void setColor(const QColor& color);
    QColor color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color = Qt::black;
};

// A rectangle filled with one colour inside a solid one-pixel outline.
class ShapeControl : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShapeControl)

public:
    explicit ShapeControl(QWidget* parent = nullptr);
    void setColors(const QColor& fill, const QColor& outline);
    QColor fillColor() const { return m_fill; }
    QColor outlineColor() const { return m_outline; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill = Qt::white;
    QColor m_outline = Qt::black;
};

// The meter's scale: the figures 15 to 32, each centred on its own scale position whatever the
// font's digit widths, with four dots between neighbours. Its text is the caption those figures
// and dots make, "15....16....  ....32", which is what assistive technology reads.
class ScaleLabel : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScaleLabel)

public:
    // figureCentre(n) is the centre of figure n in this label's pixel coordinates.
    ScaleLabel(double firstCentrePx, double pitchPx, QWidget* parent = nullptr);

    static constexpr int kFirstFigure = 15;
    static constexpr int kLastFigure = 32;
    static constexpr double kDigitWidth = 6.0; // pixels
    double figureCentre(int figure) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_firstCentre = 0.0;
    double m_pitch = 20.0;
};

// The meter's scroll bar: its positions count tenths of a BMI (positionsPerUnit of them per
// unit). Assistive technology reads and sets it in BMI: 24.1 in 15.4 to 31.6, step 0.1.
class MeterBar : public QScrollBar {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MeterBar)

public:
    explicit MeterBar(int positionsPerUnit, QWidget* parent = nullptr);
    int positionsPerUnit() const { return m_positionsPerUnit; }
    double unitValue(int position) const { return double(position) / m_positionsPerUnit; }

private:
    int m_positionsPerUnit = 1;
};

// A label whose text is always drawn whole. A text too wide for the box in the label's font (a
// number of an extreme height or weight, a caption in a longer language) is drawn in a smaller
// size of that font, never cut: a cut number reads as another number. Its tooltip then shows the
// text too; assistive technology reads the text, which is always whole.
class FittingLabel : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FittingLabel)

public:
    explicit FittingLabel(const QString& text, QWidget* parent = nullptr);
    // The font the text is drawn in: the label's own, or a smaller size of it that fits.
    QFont shownFont() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The last fit worked out, for this text, font and width: painting asks for it each time.
    mutable QString m_fittedText;
    mutable QFont m_fittedFor;
    mutable int m_fittedRoom = -1;
    mutable QFont m_fitted;
};

// A label that does something: a double-click, its shortcut key anywhere in its window, or the
// press action of assistive technology emits activated().
class ActionLabel : public FittingLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ActionLabel)

public:
    explicit ActionLabel(const QString& text, QWidget* parent = nullptr);
    ~ActionLabel() override;

    void setShortcut(const QKeySequence& key);
    QKeySequence shortcut() const;

signals:
    void activated();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QShortcut* m_shortcut = nullptr;
};

// A picture button as the desktop has it: Space and also Enter (Return or the keypad's Enter)
// press it while it has the focus. It shows its picture for dark button faces while its palette
// has one, and its ordinary picture otherwise.
class PictureButton : public QToolButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PictureButton)

public:
    explicit PictureButton(QWidget* parent = nullptr);
    void setPictures(const QIcon& picture, const QIcon& onDark);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showPicture();

    QIcon m_picture;
    QIcon m_onDark;
};

// A picture shown at its own size, by its path among the program's pictures: its 1x design, or
// its 2x design from a device pixel ratio of pictures::kTwiceFrom up. pixmap() is the 1x design.
class PictureLabel : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PictureLabel)

public:
    explicit PictureLabel(const QString& picture, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_picture;
    QPixmap m_twice; // read when first drawn
};

} // namespace morvane
