#pragma once

// The window's own controls: the captioned frames, lines, filled rectangles and the meter's scale
// label. They draw themselves and never take the focus; the band rectangles and the scale take
// the mouse only to show their tooltips.

#include <QColor>
#include <QFrame>
#include <QGroupBox>
#include <QPixmap>
#include <QWidget>

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
// font's digit widths, with four dots between neighbours.
class ScaleLabel : public QFrame {
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

} // namespace morvane
