#include "measure/arithmetic.h"
#include "measure/meterupdate.h"

#include <QLocale>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace morvane;

using OptString = std::optional<QString>;
Q_DECLARE_METATYPE(OptString)
Q_DECLARE_METATYPE(Measurement)

class tst_MeterUpdate : public QObject {
    Q_OBJECT

    const QLocale jp{QLocale::Japanese, QLocale::Japan};

private slots:
    void update_data();
    void update();
    void derivedWeightFollowsMeter();
    void pointerAtEnds_data();
    void pointerAtEnds();
};

static Measurement measurement(std::optional<float> height, std::optional<float> weight,
                               qint16 hold)
{
    Measurement m;
    m.height = height;
    m.weight = weight;
    if (height && weight)
        m.bmi = CalcBmi(*weight, *height);
    m.meterBmi = m.bmi ? clampToMeter(*m.bmi) : 0.0f;
    m.holdWeight = hold;
    return m;
}

void tst_MeterUpdate::update_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<Measurement>("before");
    QTest::addColumn<OptString>("label4");
    QTest::addColumn<OptString>("label5");
    QTest::addColumn<QString>("tai");
    QTest::addColumn<QString>("hyojun");
    QTest::addColumn<QString>("himan");
    QTest::addColumn<QString>("judgement");

    const OptString untouched;
    QTest::newRow("drag to 220 at 1.685 m")
        << 220 << measurement(1.685f, 68.5f, 0) << OptString(u"22.0"_s) << OptString(u"62.5"_s)
        << u"62.5"_s << u"62.5"_s << u"0.0"_s << u"スタンダード"_s;
    QTest::newRow("start-up keeps weight and BMI")
        << 241 << measurement(1.685f, 68.5f, 1) << untouched << untouched << u"68.5"_s << u"62.5"_s
        << u"9.6"_s << u"でぶメゾフォルテ"_s;
    QTest::newRow("weight entry moving meter to 250")
        << 250 << measurement(1.685f, 71.0f, 1) << untouched << untouched << u"71.0"_s << u"62.5"_s
        << u"13.6"_s << u"でぶメゾフォルテ"_s;
    QTest::newRow("drag below 17 is too thin")
        << 168 << measurement(1.685f, 68.5f, 0) << OptString(u"16.8"_s) << OptString(u"47.7"_s)
        << u"47.7"_s << u"62.5"_s << u"-23.7"_s << u"やせ過ぎ"_s;
    QTest::newRow("drag with no height stored")
        << 200 << measurement(std::nullopt, std::nullopt, 0) << OptString(u"20.0"_s)
        << OptString(QString()) << QString() << QString() << QString() << u"スタンダード"_s;
    QTest::newRow("start-up with height but no weight")
        << 155 << measurement(1.685f, std::nullopt, 1) << untouched << untouched << QString()
        << u"62.5"_s << QString() << QString();
}

void tst_MeterUpdate::update()
{
    QFETCH(int, position);
    QFETCH(Measurement, before);
    QFETCH(OptString, label4);
    QFETCH(OptString, label5);
    QFETCH(QString, tai);
    QFETCH(QString, hyojun);
    QFETCH(QString, himan);
    QFETCH(QString, judgement);

    const MeterUpdate u = UpdateMeter(static_cast<qint16>(position), before, jp);
    QCOMPARE(u.label4, label4);
    QCOMPARE(u.label5, label5);
    QCOMPARE(u.lblTai, tai);
    QCOMPARE(u.lblHyojun0, hyojun);
    QCOMPARE(u.lblHyojun1, hyojun);
    QCOMPARE(u.lblHiman, himan);
    QCOMPARE(u.judgement ? u.judgement->caption : QString(), judgement);
    QCOMPARE(u.after.holdWeight, qint16(0));
    QCOMPARE(u.after.meterBmi, meterValue(static_cast<qint16>(position)));
    if (before.holdWeight == 1) {
        QCOMPARE(u.after.weight, before.weight);
        QCOMPARE(u.after.bmi, before.bmi);
    } else {
        QCOMPARE(u.after.bmi, std::optional(meterValue(static_cast<qint16>(position))));
    }
}

void tst_MeterUpdate::derivedWeightFollowsMeter()
{
    // Height entry at 1.685 m with 68.5 kg stored: the meter at 241 re-derives the weight.
    const MeterUpdate u = UpdateMeter(241, measurement(1.685f, 68.5f, 0), jp);
    QVERIFY(u.after.weight);
    QVERIFY(std::abs(*u.after.weight - 68.43f) < 0.005f);
    QCOMPARE(u.label4, OptString(u"24.1"_s));
    QCOMPARE(u.label5, OptString(u"68.4"_s));
}

void tst_MeterUpdate::pointerAtEnds_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("left");
    QTest::newRow("154") << 154 << 230;
    QTest::newRow("316") << 316 << 5090;
}

void tst_MeterUpdate::pointerAtEnds()
{
    QFETCH(int, position);
    QFETCH(int, left);
    const MeterUpdate u = UpdateMeter(static_cast<qint16>(position), measurement(1.7f, 60, 0), jp);
    QCOMPARE(qRound(u.pointerLeftTwips), left);
}

QTEST_GUILESS_MAIN(tst_MeterUpdate)
#include "tst_meterupdate.moc"
