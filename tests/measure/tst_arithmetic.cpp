#include "measure/arithmetic.h"
#include "measure/numbertext.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using namespace morvane;

class tst_Arithmetic : public QObject {
    Q_OBJECT

    const QLocale jp{QLocale::Japanese, QLocale::Japan};

private slots:
    void bmi_data();
    void bmi();
    void clamp_data();
    void clamp();
    void position_data();
    void position();
    void meterValueIsTheNearestSingle_data();
    void meterValueIsTheNearestSingle();
    void weightForMeterBmi();
    void obesity_data();
    void obesity();
};

void tst_Arithmetic::bmi_data()
{
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("weight");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("position");

    QTest::newRow("worked example 1.685 m 68.5 kg") << 1.685f << 68.5f << u"24.1"_s << 241;
    QTest::newRow("60 kg at 1.685 m") << 1.685f << 60.0f << u"21.1"_s << 211;
    QTest::newRow("BMI 35 shows true value, meter stops") << 1.6f << 89.6f << u"35.0"_s << 316;
    QTest::newRow("BMI 10 clamps to meter start") << 2.0f << 40.0f << u"10.0"_s << 154;
    QTest::newRow("tall and light, 0.95 m") << 0.95f << 20.0f << u"22.2"_s << 222;
}

void tst_Arithmetic::bmi()
{
    QFETCH(float, height);
    QFETCH(float, weight);
    QFETCH(QString, shown);
    QFETCH(int, position);

    const float bmi = bodyMassIndex(weight, height);
    QCOMPARE(oneDecimalText(bmi, jp), shown);
    QCOMPARE(meterPosition(clampToMeter(bmi)), position);
}

void tst_Arithmetic::clamp_data()
{
    QTest::addColumn<float>("bmi");
    QTest::addColumn<float>("meterBmi");

    QTest::newRow("40 -> 31.6") << 40.0f << 31.6f;
    QTest::newRow("10 -> 15.4") << 10.0f << 15.4f;
    QTest::newRow("31.6 exactly keeps it") << 31.6f << 31.6f;
    QTest::newRow("15.4 exactly keeps it") << 15.4f << 15.4f;
    QTest::newRow("one ulp above 31.6") << std::nextafter(31.6f, 100.0f) << 31.6f;
    QTest::newRow("one ulp below 15.4") << std::nextafter(15.4f, 0.0f) << 15.4f;
    QTest::newRow("inside stays") << 24.1263f << 24.1263f;
    QTest::newRow("infinity -> 31.6") << std::numeric_limits<float>::infinity() << 31.6f;
    QTest::newRow("NaN -> meter start") << std::numeric_limits<float>::quiet_NaN() << 15.4f;
}

void tst_Arithmetic::clamp()
{
    QFETCH(float, bmi);
    QFETCH(float, meterBmi);
    QCOMPARE(clampToMeter(bmi), meterBmi);
}

void tst_Arithmetic::position_data()
{
    QTest::addColumn<float>("meterBmi");
    QTest::addColumn<int>("position");

    QTest::newRow("24.1263 -> 241") << 24.1263f << 241;
    QTest::newRow("24.25 -> 242 (half to even)") << 24.25f << 242;
    QTest::newRow("24.75 -> 248 (half to even)") << 24.75f << 248;
    // 22.15f is 22.1499996...; its exact product 221.499996 rounds to 221, whereas a product
    // rounded to single first would be the tie 221.5 and go to 222.
    QTest::newRow("exact product, not single product") << 22.15f << 221;
    QTest::newRow("15.4 -> 154") << 15.4f << 154;
    QTest::newRow("31.6 -> 316") << 31.6f << 316;
    QTest::newRow("26.4 -> 264") << 26.4f << 264;
}

void tst_Arithmetic::position()
{
    QFETCH(float, meterBmi);
    QFETCH(int, position);
    QCOMPARE(meterPosition(meterBmi), position);
}

void tst_Arithmetic::meterValueIsTheNearestSingle_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<float>("value");

    QTest::newRow("264 -> single nearest 26.4") << 264 << 26.4f;
    QTest::newRow("241") << 241 << 24.1f;
    QTest::newRow("154") << 154 << 15.4f;
    QTest::newRow("316") << 316 << 31.6f;
}

void tst_Arithmetic::meterValueIsTheNearestSingle()
{
    QFETCH(int, position);
    QFETCH(float, value);
    QCOMPARE(meterValue(static_cast<qint16>(position)), value);
    // Every position maps back to itself through the clamp.
    QCOMPARE(meterPosition(clampToMeter(meterValue(static_cast<qint16>(position)))), position);
}

void tst_Arithmetic::weightForMeterBmi()
{
    // Height 170 typed as metres: the meter start's weight. (The drag to 220 at 1.685 m is the
    // meter reading's and the window's.)
    QCOMPARE(oneDecimalText(weightForBmi(170.0f, meterValue(154)), jp), u"445060.0"_s);
}

void tst_Arithmetic::obesity_data()
{
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("weight");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("history");

    QTest::newRow("worked example") << 1.685f << 68.5f << u"9.6"_s << u"9.6"_s;
    // The panel uses the weight rounded to 68.5, the history the unrounded 68.46.
    QTest::newRow("panel and history differ") << 1.685f << 68.46f << u"9.6"_s << u"9.5"_s;
    QTest::newRow("at standard weight") << 1.685f << 62.5f << u"0.0"_s << u"0.0"_s;
    QTest::newRow("under standard weight") << 1.6f << 40.0f << u"-29.0"_s << u"-29.0"_s;
    // A standard weight shown as 0.0 would divide by zero: no degree.
    QTest::newRow("standard weight rounds to 0") << 0.01f << 68.5f << QString() << u"nan"_s;
}

void tst_Arithmetic::obesity()
{
    QFETCH(float, height);
    QFETCH(float, weight);
    QFETCH(QString, panel);
    QFETCH(QString, history);

    const std::optional<double> degree = obesityDegree(weight, standardWeight(height));
    QCOMPARE(degree ? oneDecimalText(*degree, jp) : QString(), panel);
    QCOMPARE(oneDecimalText(double(obesityRatio(weight, height)) * 100.0, jp), history);
}

QTEST_GUILESS_MAIN(tst_Arithmetic)
#include "tst_arithmetic.moc"
