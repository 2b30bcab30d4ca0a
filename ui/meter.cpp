#include "ui/meter.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <QtGlobal>

#include <cmath>

using namespace Qt::StringLiterals;

namespace morvane {

ScaleLabel::ScaleLabel(double firstCentrePx, double pitchPx, QWidget* parent)
    : QLabel(parent)
    , m_firstCentre(firstCentrePx)
    , m_pitch(pitchPx)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignCenter);
    QString caption;
    for (int n = kFirstFigure; n <= kLastFigure; ++n)
        caption += n == kLastFigure ? QString::number(n) : QString::number(n) + u"...."_s;
    setText(caption);
}

double ScaleLabel::figureCentre(int figure) const
{
    return m_firstCentre + (figure - kFirstFigure) * m_pitch;
}

void ScaleLabel::paintEvent(QPaintEvent* event)
{
    // The frame only: the text is drawn figure by figure below.
    QFrame::paintEvent(event);
    QPainter p(this);
    const QRect area = contentsRect();

    // The scale was laid out for digits 6 pixels wide: each figure and its four dots fill one
    // 20-pixel step. Wider digits are condensed to that width so that the dots keep their room.
    QFont f = font();
    const double digit = QFontMetricsF(f).horizontalAdvance(u'0');
    if (digit > kDigitWidth)
        f.setStretch(qBound(50, int(std::floor(100.0 * kDigitWidth / digit)), 100));
    p.setFont(f);
    const QColor ink = palette().color(QPalette::WindowText);
    p.setPen(ink);
    const QFontMetricsF fm(f);
    const double baseline = area.top() + (area.height() + fm.ascent() - fm.descent()) / 2.0;

    // The digits are laid out once, and each figure is drawn from their glyphs: laying out
    // eighteen numbers one by one, to measure and to draw them, was most of this label's cost.
    QTextLayout digits(u"0123456789"_s, f);
    digits.beginLayout();
    const QTextLine line = digits.createLine();
    digits.endLayout();
    const QList<QGlyphRun> runs = digits.glyphRuns();
    if (runs.size() != 1 || runs.front().glyphIndexes().size() != 10)
        return;
    const QGlyphRun& run = runs.front();
    const QList<QPointF> at = run.positions();
    auto advance = [&](int d) {
        return (d < 9 ? at[d + 1].x() : line.naturalTextWidth() + at[0].x()) - at[d].x();
    };
    for (int n = kFirstFigure; n <= kLastFigure; ++n) {
        const int tens = n / 10;
        const int ones = n % 10;
        const double centre = figureCentre(n);
        QGlyphRun figure = run;
        figure.setGlyphIndexes({run.glyphIndexes()[tens], run.glyphIndexes()[ones]});
        figure.setPositions({QPointF(0, 0), QPointF(advance(tens), 0)});
        p.drawGlyphRun(QPointF(centre - (advance(tens) + advance(ones)) / 2.0, baseline), figure);
        if (n == kLastFigure)
            break;
        // Four dots, one every 2 pixels, filling the rest of the step.
        for (int k = 0; k < 4; ++k) {
            const double x = std::floor(centre + kDigitWidth + 2 * k);
            p.fillRect(QRectF(x, std::floor(baseline) - 1, 1, 1), ink);
        }
    }
}

MeterBar::MeterBar(int positionsPerUnit, QWidget* parent)
    : QScrollBar(Qt::Horizontal, parent)
    , m_positionsPerUnit(qMax(1, positionsPerUnit))
{}

} // namespace morvane
