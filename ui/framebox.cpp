#include "ui/framebox.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

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

} // namespace morvane
