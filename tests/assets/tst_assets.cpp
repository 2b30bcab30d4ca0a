// The pictures as the window shows them: each loads with its size and its one transparent colour,
// its 1x design is the picture of the shipped .ico or .gif file, its 2x design is twice the size
// and is what a screen from 150 % up gets, and a dark button shows the person outlined.
// Run once at 100 % and once at 200 % (QT_SCALE_FACTOR=2).

#include "assets/pictures.h"
#include "ui/fonts.h"
#include "ui/formbuilder.h"
#include "ui/picturecontrols.h"

#include <QApplication>
#include <QImageReader>
#include <QPainter>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;

namespace {

// The device pixel ratio of the test's screen, and the design drawn at it.
int designScale()
{
    return qApp->devicePixelRatio() >= 1.5 ? 2 : 1;
}

// The top left corner of the box around the pixels of that colour in the upper rows.
QPoint topLeftOf(const QImage& image, QRgb colour, int rows)
{
    QPoint corner(image.width(), rows);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                corner = QPoint(qMin(corner.x(), x), qMin(corner.y(), y));
    return corner;
}

int transparentPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            if (alpha != 0 && alpha != 255)
                return -1; // partly transparent: not one transparent colour
            count += alpha == 0;
        }
    }
    return count;
}

} // namespace

class tst_Assets : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void pictures_data();
    void pictures();
    void iconScales_data();
    void iconScales();
    void labelsDrawTheirScale_data();
    void labelsDrawTheirScale();
    void personOutlinedOnDarkButton_data();
    void personOutlinedOnDarkButton();
};

void tst_Assets::pictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("design"); // the shipped file
    QTest::addColumn<int>("index");      // its image
    QTest::addColumn<bool>("opaque");

    QTest::newRow("banner") << pictures::bannerPath() << QSize(346, 56) << u"banner.gif"_s << 0
                            << false;
    QTest::newRow("app, 32") << u":/assets/app"_s << QSize(32, 32) << u"app.ico"_s << 0 << false;
    QTest::newRow("app, 16") << u":/assets/app16"_s << QSize(16, 16) << u"app.ico"_s << 1 << false;
    QTest::newRow("person") << pictures::personPath() << QSize(32, 32) << u"person.ico"_s << 0
                            << false;
    QTest::newRow("clear") << pictures::clearPath() << QSize(32, 32) << u"clear.ico"_s << 0
                           << false;
    QTest::newRow("help") << pictures::helpPath() << QSize(32, 32) << u"help.ico"_s << 0 << false;
    QTest::newRow("exit") << pictures::exitPath() << QSize(32, 32) << u"exit.ico"_s << 0 << true;
    QTest::newRow("pointer") << pictures::pointerPath() << QSize(32, 32) << u"pointer.ico"_s << 0
                             << false;
    QTest::newRow("person, outlined")
        << pictures::onDarkPath(pictures::personPath()) << QSize(32, 32) << QString() << 0 << false;
}

void tst_Assets::pictures()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(QString, design);
    QFETCH(int, index);
    QFETCH(bool, opaque);

    const QImage one = pictures::image(path, 1);
    const QImage two = pictures::image(path, 2);
    QCOMPARE(one.size(), size);
    QCOMPARE(two.size(), size * 2);
    QCOMPARE(two.devicePixelRatio(), 2.0);
    for (const QImage& image : {one, two}) {
        QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
        const int transparent = transparentPixels(image);
        QVERIFY2(transparent >= 0, "partly transparent pixels");
        QCOMPARE(transparent == 0, opaque);
    }
    // The 2x design leaves about as much of the ground showing as the 1x one.
    QVERIFY(qAbs(transparentPixels(two) - 4 * transparentPixels(one)) <=
            two.width() * two.height() / 20);

    if (!design.isEmpty()) {
        QImageReader reader(QStringLiteral(MORVANE_ASSETS_DIR "/") + design);
        QVERIFY(index == 0 || reader.jumpToImage(index));
        QCOMPARE(one, reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
}

void tst_Assets::iconScales_data()
{
    QTest::addColumn<double>("dpr");
    QTest::addColumn<int>("scale"); // the design drawn
    QTest::newRow("100 %") << 1.0 << 1;
    QTest::newRow("125 %") << 1.25 << 1;
    QTest::newRow("150 %") << 1.5 << 2;
    QTest::newRow("175 %") << 1.75 << 2;
    QTest::newRow("200 %") << 2.0 << 2;
}

void tst_Assets::iconScales()
{
    QFETCH(double, dpr);
    QFETCH(int, scale);

    const QSize device = QSize(32, 32) * dpr;
    const QPixmap drawn = pictures::icon(pictures::helpPath()).pixmap(QSize(32, 32), dpr);
    QCOMPARE(drawn.size(), device);
    QCOMPARE(drawn.devicePixelRatio(), dpr);
    // Scaled smoothly where the screen's pixels are no whole multiple of the design's.
    const QPixmap design = pictures::pixmap(pictures::helpPath(), scale);
    QImage expected = (design.size() == device
                           ? design
                           : design.scaled(device, Qt::KeepAspectRatio, Qt::SmoothTransformation))
                          .toImage();
    expected.setDevicePixelRatio(dpr);
    QCOMPARE(drawn.toImage(), expected);

    // The window's icon: its 16 and 32 pixel designs, each with its 2x one.
    const QIcon app = pictures::appIcon();
    QCOMPARE(app.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
    QCOMPARE(app.pixmap(QSize(16, 16), dpr).size(), QSize(16, 16) * dpr);
}

void tst_Assets::labelsDrawTheirScale_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("banner") << pictures::bannerPath();
    QTest::newRow("needle") << pictures::pointerPath();
}

void tst_Assets::labelsDrawTheirScale()
{
    QFETCH(QString, path);

    PictureLabel label(path);
    label.resize(label.pixmap().size());
    const QImage drawn = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The design of the screen's scale over the label's ground, pixel for pixel.
    QImage design = pictures::image(path, designScale());
    design.setDevicePixelRatio(1.0);
    QImage expected(design.size(), QImage::Format_RGB32);
    expected.fill(label.palette().color(QPalette::Window));
    QPainter(&expected).drawImage(0, 0, design);
    expected.setDevicePixelRatio(drawn.devicePixelRatio());
    QCOMPARE(drawn, expected);
}

void tst_Assets::personOutlinedOnDarkButton_data()
{
    QTest::addColumn<QColor>("face");
    QTest::addColumn<bool>("outlined");
    QTest::newRow("light face") << QColor(0xef, 0xef, 0xef) << false;
    QTest::newRow("dark face") << QColor(0x35, 0x35, 0x35) << true;
}

void tst_Assets::personOutlinedOnDarkButton()
{
    QFETCH(QColor, face);
    QFETCH(bool, outlined);

    QWidget form;
    form.setObjectName(u"frmMain"_s);
    form.resize(631, 452);
    const FormControls controls = buildForm(&form, QLocale(QLocale::Japanese, QLocale::Japan));
    form.setPalette(QPalette(face)); // after the window is built, as a theme change comes
    const QImage button = controls.cmdTai->grab().toImage();

    // The figure stands where the button's black pixels are; the outline's white pixels lie
    // around it as the outlined design has them.
    const QImage design =
        pictures::image(pictures::onDarkPath(pictures::personPath()), designScale());
    const QPoint offset = topLeftOf(button, qRgb(0, 0, 0), button.height() / 2) -
                          topLeftOf(design, qRgb(0, 0, 0), design.height());
    int white = 0, shown = 0;
    for (int y = 0; y < design.height(); ++y) {
        for (int x = 0; x < design.width(); ++x) {
            if (design.pixel(x, y) == qRgb(255, 255, 255)) {
                ++white;
                shown += button.pixel(offset + QPoint(x, y)) == qRgb(255, 255, 255);
            }
        }
    }
    QVERIFY(white > 50);
    QCOMPARE(shown, outlined ? white : 0);
}

QTEST_MAIN(tst_Assets)
#include "tst_assets.moc"
