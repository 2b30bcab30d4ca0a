#include "ui/controls.h"

#include "assets/pictures.h"

#include <QFileInfo>
#include <QGlyphRun>
#include <QImageReader>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <QTextLayout>
#include <QToolTip>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace morvane {

FrameBox::FrameBox(const QString& title, QWidget* parent)
    : QGroupBox(title, parent)
{}

void FrameBox::paintEvent(QPaintEvent* event)
{
    const qreal dpr = devicePixelRatioF();
    if (m_picture.isNull() || m_picture.size() != size() * dpr)
        drawPicture(dpr);
    QPainter p(this);
    for (const QRect& r : event->region())
        p.drawPixmap(r, m_picture, QRectF(r.topLeft() * dpr, r.size() * dpr).toRect());
}

namespace {

// The colour of every device pixel on the ring just outside `inside`, if they are all alike and
// opaque.
std::optional<QRgb> ringColour(const QImage& picture, const QRect& inside)
{
    const QRect ring = inside.adjusted(-1, -1, 1, 1);
    if (picture.depth() != 32 || !picture.rect().contains(ring))
        return std::nullopt;
    const auto row = [&picture](int y) {
        return reinterpret_cast<const QRgb*>(picture.constScanLine(y));
    };
    const QRgb colour = row(ring.top())[ring.left()];
    if (qAlpha(colour) != 255)
        return std::nullopt;
    for (const int y : {ring.top(), ring.bottom()}) {
        const QRgb* line = row(y);
        if (!std::all_of(line + ring.left(), line + ring.right() + 1,
                         [colour](QRgb c) { return c == colour; }))
            return std::nullopt;
    }
    for (int y = ring.top(); y <= ring.bottom(); ++y) {
        if (row(y)[ring.left()] != colour || row(y)[ring.right()] != colour)
            return std::nullopt;
    }
    return colour;
}

// Fusion draws a group box's frame from a picture among Qt's resources, and loads it as a file
// through QPixmap. That loader asks every image format plug-in whether it reads the file, which
// loads them all: at start-up that cost more than drawing the three frames. The picture is read
// here by Qt's own PNG reader alone and put where that loader looks first, the pixmap cache,
// under the key it uses there (Qt 6's QPixmap::load: the path, modification time, size and pixel
// type, each written as hexadecimal digits lowest byte first). Were the key ever to differ,
// Fusion would load the picture itself, as it always did: only the time changes, never a pixel.
void cacheFusionGroupBoxPicture()
{
    static bool done = false;
    if (std::exchange(done, true))
        return;
    const QFileInfo file(u":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"_s);
    const auto hex = [](auto value) {
        QString digits;
        for (std::size_t i = 0; i < sizeof(value); ++i, value >>= 8) {
            digits += QChar(u"0123456789abcdef"[value & 0xf]);
            digits += QChar(u"0123456789abcdef"[(value >> 4) & 0xf]);
        }
        return digits;
    };
    QImageReader reader(file.absoluteFilePath(), "png");
    reader.setAutoDetectImageFormat(false);
    const QImage picture = reader.read();
    if (picture.isNull())
        return;
    const uint pixmapType = 0; // QPlatformPixmap::PixmapType
    QPixmapCache::insert(u"qt_pixmap"_s + file.absoluteFilePath() +
                             hex(uint(file.lastModified().toSecsSinceEpoch())) +
                             hex(quint64(file.size())) + hex(pixmapType),
                         QPixmap::fromImage(picture));
}

} // namespace

void FrameBox::drawPicture(qreal dpr)
{
    m_picture = QPixmap(size() * dpr);
    m_picture.setDevicePixelRatio(dpr);
    m_picture.fill(palette().color(backgroundRole()));
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    if (style()->name() == u"fusion")
        cacheFusionGroupBoxPicture();
    // The style's frame is a picture of a box stretched over the whole frame, and its inside is
    // one colour: stretching the picture over the inside cost more than drawing the rest of the
    // three frames. So the style draws the caption and a band along the edges, and the inside is
    // filled with the colour that band shows all along its inner edge; where the edge is not one
    // colour, the style draws the inside too. Only where device pixels are whole logical ones,
    // so that the band and the inside meet exactly.
    const QRect inside = contentsRect().adjusted(kBand, kBand, -kBand, -kBand);
    const bool split = inside.isValid() && dpr == std::floor(dpr);
    {
        QStylePainter p(&m_picture, this);
        p.setFont(font());
        if (split)
            p.setClipRegion(QRegion(rect()).subtracted(inside));
        p.drawComplexControl(QStyle::CC_GroupBox, option);
    }
    if (!split)
        return;
    const QRect device(inside.topLeft() * dpr, inside.size() * dpr);
    const std::optional<QRgb> ground = ringColour(m_picture.toImage(), device);
    QStylePainter p(&m_picture, this);
    p.setClipRect(inside);
    if (ground) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(inside, QColor::fromRgba(*ground));
    } else {
        p.setFont(font());
        p.drawComplexControl(QStyle::CC_GroupBox, option);
    }
}

void FrameBox::changeEvent(QEvent* event)
{
    // Anything that changes the look draws the picture anew.
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
        m_picture = QPixmap();
        break;
    default:
        break;
    }
    QGroupBox::changeEvent(event);
}

void FrameBox::resizeEvent(QResizeEvent* event)
{
    m_picture = QPixmap();
    QGroupBox::resizeEvent(event);
}

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
