#pragma once

// The lines and filled rectangles the window draws itself: the fraction lines, the meter's six
// bands and its shadow. They never take the focus; the bands take the mouse only to show their
// tooltips.

#include <QColor>
#include <QWidget>

namespace morvane {

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

} // namespace morvane
