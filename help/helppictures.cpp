#include "help/helppictures.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QTextDocument>
#include <QTextFormat>

#include <algorithm>

namespace morvane {

namespace {

qint64 pixelCount(QSize size)
{
    return size.isEmpty() ? 0 : qint64(size.width()) * size.height();
}

// The picture in bytes, when its header declares a size of at most maxPixels; a null image
// otherwise, and for a format whose size cannot be known before decoding.
QImage decode(const QByteArray& bytes, qint64 maxPixels)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Bounds what a header that understates the size can make the decoder allocate.
    reader.setAllocationLimit(int(HelpPictures::kMaxPicturePixels * 8 / (1024 * 1024)));
    const qint64 declared = pixelCount(reader.size());
    if (declared == 0 || declared > maxPixels)
        return {};
    QImage image = reader.read();
    if (pixelCount(image.size()) > declared)
        return {};
    // Sixteen bits a channel would double what the budget costs.
    if (image.depth() > 32)
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                : QImage::Format_RGB32);
    return image;
}

} // namespace

HelpPictures::HelpPictures(QTextDocument* document, Resolve resolve, Fetch fetch, QObject* parent)
    : QObject(parent)
    , m_resolve(std::move(resolve))
    , m_fetch(std::move(fetch))
{
    // Replaces Qt's handler, which the layout registered for the same object type.
    document->documentLayout()->registerHandler(QTextFormat::ImageObject, this);
}

HelpPictures::~HelpPictures() = default;

void HelpPictures::clear()
{
    m_pictures.clear();
    m_pixels = 0;
}

QImage HelpPictures::picture(const QString& name)
{
    const QUrl url = m_resolve(name);
    const auto known = m_pictures.constFind(url);
    if (known != m_pictures.constEnd())
        return *known;
    const std::optional<QByteArray> bytes = m_fetch(url);
    const QImage image =
        bytes ? decode(*bytes, std::min(kMaxPicturePixels, kBudgetPixels - m_pixels)) : QImage();
    m_pixels += pixelCount(image.size());
    m_pictures.insert(url, image);
    return image;
}

QSizeF HelpPictures::intrinsicSize(QTextDocument*, int, const QTextFormat& format)
{
    const QTextImageFormat image = format.toImageFormat();
    const bool hasWidth = image.hasProperty(QTextFormat::ImageWidth);
    const bool hasHeight = image.hasProperty(QTextFormat::ImageHeight);
    if (hasWidth && hasHeight)
        return {image.width(), image.height()};
    const QSizeF natural = QSizeF(picture(image.name()).size());
    if (natural.isEmpty()) {
        const qreal side = hasWidth ? image.width() : image.height();
        return hasWidth || hasHeight ? QSizeF(side, side) : kPlaceholderSize;
    }
    if (hasWidth)
        return {image.width(), image.width() * natural.height() / natural.width()};
    if (hasHeight)
        return {image.height() * natural.width() / natural.height(), image.height()};
    return natural;
}

void HelpPictures::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                              const QTextFormat& format)
{
    const QImage image = picture(format.toImageFormat().name());
    painter->save();
    if (!image.isNull()) {
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawImage(rect, image);
    } else {
        QColor frame = painter->pen().color();
        frame.setAlphaF(0.35f);
        painter->setPen(QPen(frame, 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    painter->restore();
}

} // namespace morvane
