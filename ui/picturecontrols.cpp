#include "ui/picturecontrols.h"

#include "assets/pictures.h"

#include <QKeyEvent>
#include <QPainter>

#include <cmath>

namespace morvane {

PictureButton::PictureButton(QWidget* parent)
    : QToolButton(parent)
{}

void PictureButton::keyPressEvent(QKeyEvent* event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && plain &&
        !event->isAutoRepeat()) {
        event->accept();
        click();
        return;
    }
    QToolButton::keyPressEvent(event);
}

void PictureButton::setPictures(const QIcon& picture, const QIcon& onDark)
{
    m_picture = picture;
    m_onDark = onDark;
    showPicture();
}

void PictureButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        showPicture();
    QToolButton::changeEvent(event);
}

void PictureButton::showPicture()
{
    // A face darker than middle grey: black on it would hardly show.
    const bool dark = qGray(palette().color(QPalette::Button).rgb()) < 128;
    const QIcon& picture = dark && !m_onDark.isNull() ? m_onDark : m_picture;
    if (icon().cacheKey() != picture.cacheKey())
        setIcon(picture);
}

PictureLabel::PictureLabel(const QString& picture, QWidget* parent)
    : QLabel(parent)
    , m_picture(picture)
{
    setPixmap(pictures::pixmap(picture, 1));
}

void PictureLabel::paintEvent(QPaintEvent* event)
{
    const qreal dpr = devicePixelRatioF();
    if (dpr == 1.0) {
        QLabel::paintEvent(event);
        return;
    }
    QPixmap design = pixmap();
    if (dpr >= pictures::kTwiceFrom) {
        if (m_twice.isNull())
            m_twice = pictures::pixmap(m_picture, 2);
        design = m_twice;
    }
    // Where the screen's pixels are a whole multiple of the design's, each design pixel covers
    // whole screen pixels; otherwise a smooth scale keeps every line of the design equally wide.
    const qreal ratio = dpr / design.devicePixelRatio();
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, ratio != std::floor(ratio));
    p.drawPixmap(QRect(QPoint(0, 0), design.deviceIndependentSize().toSize()), design);
}

} // namespace morvane
