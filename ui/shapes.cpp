#include "ui/shapes.h"

#include <QPainter>

namespace morvane {

LineControl::LineControl(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void LineControl::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void LineControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
}

ShapeControl::ShapeControl(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void ShapeControl::setColors(const QColor& fill, const QColor& outline)
{
    m_fill = fill;
    m_outline = outline;
    update();
}

void ShapeControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_outline);
    p.fillRect(rect().adjusted(1, 1, -1, -1), m_fill);
}

} // namespace morvane
