#include "ui/labels.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QToolTip>

namespace morvane {
namespace {

// Pixels a text's characters' advances must leave free for the text to fit without being laid
// out: more than rounding each advance, or any kerning the window's texts have, can add.
constexpr qreal kFitSlack = 2.0;

} // namespace

FittingLabel::FittingLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{}

QFont FittingLabel::shownFont() const
{
    const int room = contentsRect().width() - 2 * margin();
    if (room == m_fittedRoom && text() == m_fittedText && font() == m_fittedFor)
        return m_fitted;
    QFont f = font();
    // The characters' own advances are known without laying the text out: when their sum fits
    // with room to spare for rounding, the text fits. Only a text near the edge is laid out.
    const QFontMetricsF metrics(f);
    qreal sum = 0;
    for (const QChar c : text())
        sum += metrics.horizontalAdvance(c);
    if (sum + kFitSlack > room) {
        // Half a point at a time, down to the smallest size that still draws.
        while (QFontMetrics(f).horizontalAdvance(text()) > room && f.pointSizeF() > 1.0)
            f.setPointSizeF(f.pointSizeF() - 0.5);
    }
    m_fittedText = text();
    m_fittedFor = font();
    m_fittedRoom = room;
    m_fitted = f;
    return f;
}

bool FittingLabel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && shownFont() != font()) {
        const QString tip = toolTip().isEmpty() ? text() : text() + u'\n' + toolTip();
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, this);
        return true;
    }
    return QLabel::event(event);
}

void FittingLabel::paintEvent(QPaintEvent* event)
{
    const QFont f = shownFont();
    if (f == font()) {
        QLabel::paintEvent(event); // the usual case, drawn exactly as any label
        return;
    }
    QFrame::paintEvent(event);
    QPainter p(this);
    p.setFont(f);
    p.setPen(palette().color(foregroundRole()));
    p.drawText(contentsRect().adjusted(margin(), margin(), -margin(), -margin()), int(alignment()),
               text());
}

ActionLabel::ActionLabel(const QString& text, QWidget* parent)
    : FittingLabel(text, parent)
{}

ActionLabel::~ActionLabel() = default;

void ActionLabel::setShortcut(const QKeySequence& key)
{
    delete m_shortcut;
    m_shortcut = nullptr;
    if (key.isEmpty())
        return;
    // Anywhere in the window, whichever control has the focus.
    m_shortcut = new QShortcut(key, this, this, &ActionLabel::activated, Qt::WindowShortcut);
}

QKeySequence ActionLabel::shortcut() const
{
    return m_shortcut ? m_shortcut->key() : QKeySequence();
}

void ActionLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    emit activated();
}

} // namespace morvane
