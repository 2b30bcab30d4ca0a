#include "assets/pictures.h"

#include <QIconEngine>
#include <QPainter>
#include <QResource>
#include <QtEndian>

#include <utility>

using namespace Qt::StringLiterals;

namespace morvane::pictures {
namespace {

// A stored picture: "ARGB", its width and height as 32-bit little-endian numbers, then its rows
// top to bottom, each pixel a 32-bit little-endian premultiplied 0xAARRGGBB.
constexpr qsizetype kHeaderBytes = 12;
constexpr quint32 kLargestSide = 4096;

// Whether a design of `from` pixels is drawn at `to` pixels by repeating its pixels (a whole
// multiple: as sharp as the design) or by smooth scaling (any other ratio, where repeating them
// would make some pixels wider than others).
Qt::TransformationMode scalingFor(const QSize& from, const QSize& to)
{
    const bool whole = to.width() % from.width() == 0 && to.height() % from.height() == 0 &&
                       to.width() / from.width() == to.height() / from.height();
    return whole ? Qt::FastTransformation : Qt::SmoothTransformation;
}

// An icon made of the pictures' designs, one picture per size. Unlike Qt's own icons, which
// draw a twice-size design only from a device pixel ratio above 1.5, it draws the 2x design from
// kTwiceFrom up; and it scales a design smoothly where the screen needs a size that is not a
// whole multiple of it. Designs are read from the resources when first drawn: at 1x the 2x ones
// are never touched.
class PictureIconEngine final : public QIconEngine {
public:
    explicit PictureIconEngine(QList<std::pair<int, QString>> sizes)
    {
        for (auto& [side, path] : sizes)
            m_sizes.append({side, std::move(path), {}});
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal dpr = painter->device()->devicePixelRatio();
        QPixmap pm = scaledPixmap(rect.size() * dpr, mode, state, dpr);
        pm.setDevicePixelRatio(dpr);
        painter->drawPixmap(rect, pm);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const QSize own(entryFor(size).side, entryFor(size).side);
        return own.width() > size.width() ? own.scaled(size, Qt::KeepAspectRatio) : own;
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        const QSize logical = (QSizeF(size) / scale).toSize();
        const Entry& entry = entryFor(logical);
        const int design = scale >= kTwiceFrom ? 1 : 0;
        QPixmap pm = entry.designs[design];
        if (pm.isNull())
            pm = entry.designs[design] = pictures::pixmap(entry.path, design + 1);
        if (pm.isNull() || size.isEmpty())
            return {};
        if (pm.size() != size) {
            pm = pm.scaled(size, Qt::KeepAspectRatio, scalingFor(pm.size(), size));
            pm.setDevicePixelRatio(scale);
        }
        if (mode != QIcon::Normal) {
            // Qt's own icon makes the disabled and the selected look, in the style of the day.
            pm.setDevicePixelRatio(1.0);
            pm = QIcon(pm).pixmap(pm.size(), 1.0, mode, state);
            pm.setDevicePixelRatio(scale);
        }
        return pm;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const Entry& e : m_sizes)
            sizes.append(QSize(e.side, e.side));
        return sizes;
    }

    bool isNull() override { return m_sizes.isEmpty(); }
    QString key() const override { return u"morvane-pictures"_s; }
    QIconEngine* clone() const override { return new PictureIconEngine(*this); }

private:
    struct Entry {
        int side = 0;
        QString path;
        mutable QPixmap designs[2]; // 1x and 2x, read when first needed
    };

    // The smallest design at least as large as `logical`, or else the largest.
    const Entry& entryFor(const QSize& logical) const
    {
        const Entry* best = &m_sizes.constFirst();
        for (const Entry& e : m_sizes) {
            const bool fits = e.side >= logical.width();
            const bool bestFits = best->side >= logical.width();
            if ((fits && (!bestFits || e.side < best->side)) ||
                (!fits && !bestFits && e.side > best->side))
                best = &e;
        }
        return *best;
    }

    QList<Entry> m_sizes;
};

} // namespace

QString bannerPath()
{
    return u":/assets/banner"_s;
}

QString personPath()
{
    return u":/assets/person"_s;
}

QString clearPath()
{
    return u":/assets/clear"_s;
}

QString helpPath()
{
    return u":/assets/help"_s;
}

QString exitPath()
{
    return u":/assets/exit"_s;
}

QString pointerPath()
{
    return u":/assets/pointer"_s;
}

QString onDarkPath(const QString& path)
{
    return path == personPath() ? u":/assets/person-outlined"_s : path;
}

QImage image(const QString& path, int scale)
{
    if (scale != 1 && scale != 2)
        return {};
    const QResource resource(path + (scale == 2 ? u"@2x.argb"_s : u".argb"_s));
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression ||
        resource.size() < kHeaderBytes)
        return {};
    const uchar* data = resource.data();
    const quint32 width = qFromLittleEndian<quint32>(data + 4);
    const quint32 height = qFromLittleEndian<quint32>(data + 8);
    if (QByteArrayView(data, 4) != "ARGB" || width == 0 || height == 0 || width > kLargestSide ||
        height > kLargestSide || resource.size() != kHeaderBytes + qint64(width) * height * 4)
        return {};
    const uchar* pixels = data + kHeaderBytes;
    QImage picture;
    if (QSysInfo::ByteOrder == QSysInfo::LittleEndian &&
        reinterpret_cast<quintptr>(pixels) % alignof(quint32) == 0) {
        // Drawn from where the resources lie: the image only reads them, and they stay in
        // memory for as long as the program runs.
        picture = QImage(pixels, int(width), int(height), int(width) * 4,
                         QImage::Format_ARGB32_Premultiplied);
    } else {
        picture = QImage(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < picture.height(); ++y)
            qFromLittleEndian<quint32>(pixels + qsizetype(y) * width * 4, width,
                                       picture.scanLine(y));
    }
    picture.setDevicePixelRatio(scale);
    return picture;
}

QPixmap pixmap(const QString& path, int scale)
{
    return QPixmap::fromImage(image(path, scale));
}

QIcon icon(const QString& path)
{
    return QIcon(new PictureIconEngine({{32, path}}));
}

QIcon appIcon()
{
    return QIcon(new PictureIconEngine({{16, u":/assets/app16"_s}, {32, u":/assets/app"_s}}));
}

} // namespace morvane::pictures
