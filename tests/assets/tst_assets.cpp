#include "assets/pictures.h"
#include "tests/assets/containers.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;

namespace {

constexpr QRgb black = qRgb(0x00, 0x00, 0x00);
constexpr QRgb green = qRgb(0x00, 0x80, 0x00);
constexpr QRgb navy = qRgb(0x00, 0x00, 0x80);
constexpr QRgb silver = qRgb(0xc0, 0xc0, 0xc0);
constexpr QRgb grey = qRgb(0x80, 0x80, 0x80);
constexpr QRgb red = qRgb(0xff, 0x00, 0x00);
constexpr QRgb white = qRgb(0xff, 0xff, 0xff);

// The sixteen colours every icon is drawn in, in the order 16-colour icons store them.
const QList<QRgb> classicPalette = {
    black,
    qRgb(0x80, 0x00, 0x00),
    green,
    qRgb(0x80, 0x80, 0x00),
    navy,
    qRgb(0x80, 0x00, 0x80),
    qRgb(0x00, 0x80, 0x80),
    silver,
    grey,
    red,
    qRgb(0x00, 0xff, 0x00),
    qRgb(0xff, 0xff, 0x00),
    qRgb(0x00, 0x00, 0xff),
    qRgb(0xff, 0x00, 0xff),
    qRgb(0x00, 0xff, 0xff),
    white,
};

QByteArray contents(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

int transparentPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) == 0;
    return count;
}

bool showsColour(const QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                return true;
    return false;
}

} // namespace

class tst_Assets : public QObject {
    Q_OBJECT

private slots:
    void resourceTree();
    void icon_data();
    void icon();
    void pointer_data();
    void pointer();
    void banner();
};

void tst_Assets::resourceTree()
{
    // Exactly the window's pictures, reached through a static library that links `assets`.
    const QStringList expected = {u"app.ico"_s,  u"banner.gif"_s, u"clear.ico"_s,  u"exit.ico"_s,
                                  u"help.ico"_s, u"person.ico"_s, u"pointer.ico"_s};
    QCOMPARE(QDir(u":/assets"_s).entryList(QDir::Files, QDir::Name), expected);
}

void tst_Assets::icon_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<bool>("opaque");
    QTest::addColumn<QList<QRgb>>("inks"); // colours each image must show

    QTest::newRow("app: line chart") << pictures::appIconPath() << QList<int>{32, 16} << false
                                     << QList<QRgb>{navy, red, grey, white, silver};
    QTest::newRow("person: silhouette")
        << pictures::personPath() << QList<int>{32, 16} << false << QList<QRgb>{black};
    QTest::newRow("clear: pages") << pictures::clearPath() << QList<int>{32, 16} << false
                                  << QList<QRgb>{white, black, silver};
    QTest::newRow("help: question mark")
        << pictures::helpPath() << QList<int>{32, 16} << false << QList<QRgb>{green, white, black};
    QTest::newRow("exit: doorway, opaque") << pictures::exitPath() << QList<int>{32, 16} << true
                                           << QList<QRgb>{white, black, silver, grey};
    QTest::newRow("pointer: needle")
        << pictures::pointerPath() << QList<int>{32} << false << QList<QRgb>{black, white, red};
}

void tst_Assets::icon()
{
    QFETCH(QString, path);
    QFETCH(QList<int>, sizes);
    QFETCH(bool, opaque);
    QFETCH(QList<QRgb>, inks);

    // The file's own structure: one 16-colour, 4-bit image per size, with an AND mask.
    const containers::IcoFile file = containers::readIco(contents(path));
    QVERIFY2(file.error.isEmpty(), qPrintable(file.error));
    QCOMPARE(file.type, 1);
    QCOMPARE(file.images.size(), sizes.size());
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const containers::IcoImage& image = file.images.at(i);
        const int size = sizes.at(i);
        QCOMPARE(image.entryWidth, size);
        QCOMPARE(image.entryHeight, size);
        QCOMPARE(image.entryColourCount, 16);
        QCOMPARE(image.entryPlanes, 1);
        QCOMPARE(image.entryBitCount, 4);
        QCOMPARE(image.headerSize, 40u);
        QCOMPARE(image.width, size);
        QCOMPARE(image.height, 2 * size);
        QCOMPARE(image.planes, 1);
        QCOMPARE(image.bitCount, 4);
        QCOMPARE(image.compression, 0u);
        QCOMPARE(image.palette, classicPalette);
        if (opaque)
            QCOMPARE(image.maskedPixels, 0);
        else
            QVERIFY(image.maskedPixels > 0);
        // Masked pixels are black in the colour bitmap, so that they leave the ground as it is.
        QCOMPARE(image.maskedNonBlackPixels, 0);
    }

    // What Qt makes of it: the same images, transparent exactly where the mask says.
    QImageReader reader(path);
    QCOMPARE(reader.imageCount(), int(sizes.size()));
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        QVERIFY(reader.jumpToImage(int(i)));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.size(), QSize(sizes.at(i), sizes.at(i)));
        QCOMPARE(transparentPixels(image), file.images.at(i).maskedPixels);
        for (const QRgb ink : inks)
            QVERIFY2(showsColour(image, ink),
                     qPrintable(u"%1 px image lacks #%2"_s.arg(sizes.at(i)).arg(ink, 8, 16)));
    }

    const QIcon icon(path);
    QVERIFY(!icon.isNull());
    for (const int size : sizes)
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
}

void tst_Assets::pointer_data()
{
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<QString>("columns11to19");

    // The needle as it is specified, row by row: "." transparent, K black, W white, R red.
    QTest::newRow("rows 0 to 2") << 0 << 2 << u"....K...."_s;
    QTest::newRow("rows 3 to 7") << 3 << 7 << u"...KWK..."_s;
    QTest::newRow("rows 8 to 12") << 8 << 12 << u"..KRRWK.."_s;
    QTest::newRow("row 13") << 13 << 13 << u".KRRRRWK."_s;
    QTest::newRow("row 14") << 14 << 14 << u".KRRKRWK."_s;
    QTest::newRow("rows 15 and 16") << 15 << 16 << u".KRK.KWK."_s;
    QTest::newRow("row 17") << 17 << 17 << u".KK...KK."_s;
    QTest::newRow("rows 18 and 19") << 18 << 19 << u"KK.....KK"_s;
    QTest::newRow("row 20") << 20 << 20 << u"K.......K"_s;
    QTest::newRow("rows 21 to 31") << 21 << 31 << u"........."_s;
}

void tst_Assets::pointer()
{
    QFETCH(int, firstRow);
    QFETCH(int, lastRow);
    QFETCH(QString, columns11to19);

    const QImage image = QImage(pictures::pointerPath()).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(32, 32));
    for (int y = firstRow; y <= lastRow; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QChar cell = x >= 11 && x <= 19 ? columns11to19.at(x - 11) : u'.';
            const QRgb pixel = image.pixel(x, y);
            const QString where = u"pixel (%1, %2) is #%3"_s.arg(x).arg(y).arg(pixel, 8, 16);
            if (cell == u'.') {
                QVERIFY2(qAlpha(pixel) == 0, qPrintable(where));
                continue;
            }
            const QRgb expected = cell == u'K' ? black : cell == u'W' ? white : red;
            QVERIFY2(pixel == expected, qPrintable(where));
        }
    }
}

void tst_Assets::banner()
{
    const QString path = pictures::bannerPath();

    const containers::GifLayout gif = containers::readGif(contents(path));
    QVERIFY2(gif.error.isEmpty(), qPrintable(gif.error));
    QCOMPARE(gif.signature, "GIF89a"_ba);
    QCOMPARE(gif.width, 346);
    QCOMPARE(gif.height, 56);
    QVERIFY(gif.globalTable);
    QCOMPARE(gif.globalTableSize, 256);
    QCOMPARE(gif.images, 1);
    QVERIFY(!gif.localTable);
    QVERIFY(!gif.interlaced);
    // One graphic control block, naming the one transparent colour index.
    QCOMPARE(gif.controlBlocks, 1);
    QVERIFY(gif.transparencyFlag);
    QVERIFY(gif.transparentIndex >= 0 && gif.transparentIndex < 256);

    QImageReader reader(path);
    QCOMPARE(reader.format(), "gif"_ba);
    QCOMPARE(reader.imageCount(), 1);
    const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), QSize(346, 56));

    // The ground shows around and inside the letters, but the word fills much of the strip.
    const int pixels = image.width() * image.height();
    const double transparentShare = double(transparentPixels(image)) / pixels;
    QVERIFY2(transparentShare > 0.25 && transparentShare < 0.6,
             qPrintable(QString::number(transparentShare)));

    // Nothing is cut off at the edges.
    for (int x = 0; x < image.width(); ++x) {
        QCOMPARE(qAlpha(image.pixel(x, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(x, image.height() - 1)), 0);
    }
    for (int y = 0; y < image.height(); ++y) {
        QCOMPARE(qAlpha(image.pixel(0, y)), 0);
        QCOMPARE(qAlpha(image.pixel(image.width() - 1, y)), 0);
    }

    // Light blue letters in a blue outline: every visible pixel leans to blue (or is grey at
    // the soft edges), and both the light fill and the deep outline take up a fair share.
    int lightBlue = 0;
    int deepBlue = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) == 0)
                continue;
            QCOMPARE(qAlpha(p), 255);
            QVERIFY2(qBlue(p) >= qRed(p) && qBlue(p) >= qGreen(p),
                     qPrintable(u"(%1, %2) is #%3"_s.arg(x).arg(y).arg(p, 8, 16)));
            if (qBlue(p) >= 220 && qRed(p) >= 100 && qBlue(p) - qRed(p) >= 15)
                ++lightBlue;
            if (qBlue(p) >= 150 && qRed(p) <= 60 && qGreen(p) <= 110)
                ++deepBlue;
        }
    }
    QVERIFY2(lightBlue > pixels / 20, qPrintable(QString::number(lightBlue)));
    QVERIFY2(deepBlue > pixels / 20, qPrintable(QString::number(deepBlue)));
}

QTEST_MAIN(tst_Assets)
#include "tst_assets.moc"
