#include "measure/arithmetic.h"
#include "measure/bands.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;

class tst_Bands : public QObject {
    Q_OBJECT

private slots:
    void edges_data();
    void edges();
    void clampedBmi_data();
    void clampedBmi();
};

void tst_Bands::edges_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<morvane::Rgb>("background");
    QTest::addColumn<morvane::Rgb>("text");

    const QString thin = u"やせ過ぎ"_s, slim = u"やせ気味"_s, standard = u"スタンダード"_s,
                  mezzo = u"でぶメゾフォルテ"_s, forte = u"でぶフォルテ"_s,
                  fortissimo = u"でぶフォルテシモ"_s;
    using namespace palette;
    QTest::newRow("154 meter start") << 154 << thin << lightBlue << brightWhite;
    QTest::newRow("169") << 169 << thin << lightBlue << brightWhite;
    QTest::newRow("170") << 170 << slim << lightCyan << black;
    QTest::newRow("199") << 199 << slim << lightCyan << black;
    QTest::newRow("200") << 200 << standard << lightGreen << black;
    QTest::newRow("239") << 239 << standard << lightGreen << black;
    QTest::newRow("240") << 240 << mezzo << yellow << black;
    QTest::newRow("263") << 263 << mezzo << yellow << black;
    QTest::newRow("264 single 26.4 edge") << 264 << forte << lightMagenta << brightWhite;
    QTest::newRow("299") << 299 << forte << lightMagenta << brightWhite;
    QTest::newRow("300") << 300 << fortissimo << lightRed << brightWhite;
    QTest::newRow("316 meter end") << 316 << fortissimo << lightRed << brightWhite;
}

void tst_Bands::edges()
{
    QFETCH(int, position);
    QFETCH(QString, caption);
    QFETCH(morvane::Rgb, background);
    QFETCH(morvane::Rgb, text);

    const Band& band = bandFor(meterValue(static_cast<qint16>(position)));
    QCOMPARE(band.caption, caption);
    QCOMPARE(band.background, background);
    QCOMPARE(band.text, text);
}

void tst_Bands::clampedBmi_data()
{
    QTest::addColumn<float>("bmi");
    QTest::addColumn<int>("band");

    QTest::newRow("BMI 12 judged at 15.4") << 12.0f << 1;
    QTest::newRow("BMI 45 judged at 31.6") << 45.0f << 6;
    // 26.39 rounds to position 264 and is judged there, not at its raw value.
    QTest::newRow("BMI 26.39 judged at 26.4") << 26.39f << 5;
}

void tst_Bands::clampedBmi()
{
    QFETCH(float, bmi);
    QFETCH(int, band);
    QCOMPARE(bandFor(meterValue(meterPosition(clampToMeter(bmi)))).number, band);
}

QTEST_GUILESS_MAIN(tst_Bands)
#include "tst_bands.moc"
