#include "measure/arithmetic.h"
#include "measure/meterreading.h"
#include "measure/numbertext.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;

using OptString = std::optional<QString>;
Q_DECLARE_METATYPE(OptString)
Q_DECLARE_METATYPE(Measurement)

class tst_MeterReading : public QObject {
    Q_OBJECT

    const QLocale jp{QLocale::Japanese, QLocale::Japan};

private slots:
    void update_data();
    void update();
};

static Measurement measurement(std::optional<float> height, std::optional<float> weight, bool hold)
{
    Measurement m;
    m.height = height;
    m.weight = weight;
    if (height && weight)
        m.bmi = bodyMassIndex(*weight, *height);
    m.meterBmi = m.bmi ? clampToMeter(*m.bmi) : 0.0f;
    m.keepsWeight = hold;
    return m;
}

void tst_MeterReading::update_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<Measurement>("before");
    // The figures as the window shows them, with one decimal; the BMI and the weight appear
    // only when the reading derived them.
    QTest::addColumn<OptString>("derivedBmi");
    QTest::addColumn<OptString>("derivedWeight");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("obesity");
    QTest::addColumn<QString>("judgement");

    const OptString untouched;
    QTest::newRow("drag to 220 at 1.685 m")
        << 220 << measurement(1.685f, 68.5f, false) << OptString(u"22.0"_s) << OptString(u"62.5"_s)
        << u"62.5"_s << u"62.5"_s << u"0.0"_s << u"スタンダード"_s;
    // A height entry at 1.685 m with 68.5 kg stored: the meter at 241 re-derives the weight.
    QTest::newRow("height entry re-derives the weight")
        << 241 << measurement(1.685f, 68.5f, false) << OptString(u"24.1"_s) << OptString(u"68.4"_s)
        << u"68.4"_s << u"62.5"_s << u"9.4"_s << u"でぶメゾフォルテ"_s;
    QTest::newRow("start-up keeps weight and BMI")
        << 241 << measurement(1.685f, 68.5f, true) << untouched << untouched << u"68.5"_s
        << u"62.5"_s << u"9.6"_s << u"でぶメゾフォルテ"_s;
    QTest::newRow("weight entry moving meter to 250")
        << 250 << measurement(1.685f, 71.0f, true) << untouched << untouched << u"71.0"_s
        << u"62.5"_s << u"13.6"_s << u"でぶメゾフォルテ"_s;
    QTest::newRow("drag below 17 is too thin")
        << 168 << measurement(1.685f, 68.5f, false) << OptString(u"16.8"_s) << OptString(u"47.7"_s)
        << u"47.7"_s << u"62.5"_s << u"-23.7"_s << u"やせ過ぎ"_s;
    QTest::newRow("drag with no height stored")
        << 200 << measurement(std::nullopt, std::nullopt, false) << OptString(u"20.0"_s)
        << OptString(QString()) << QString() << QString() << QString() << u"スタンダード"_s;
    QTest::newRow("start-up with height but no weight")
        << 155 << measurement(1.685f, std::nullopt, true) << untouched << untouched << QString()
        << u"62.5"_s << QString() << QString();
}

void tst_MeterReading::update()
{
    QFETCH(int, position);
    QFETCH(Measurement, before);
    QFETCH(OptString, derivedBmi);
    QFETCH(OptString, derivedWeight);
    QFETCH(QString, weight);
    QFETCH(QString, standard);
    QFETCH(QString, obesity);
    QFETCH(QString, judgement);

    const MeterReading u = readMeter(static_cast<qint16>(position), before);
    auto shown = [this](auto value) { return value ? oneDecimalText(*value, jp) : QString(); };
    QCOMPARE(u.derived ? OptString(shown(u.after.bmi)) : OptString(), derivedBmi);
    QCOMPARE(u.derived ? OptString(shown(u.after.weight)) : OptString(), derivedWeight);
    QCOMPARE(shown(u.after.weight), weight);
    QCOMPARE(shown(u.standardWeight), standard);
    QCOMPARE(shown(u.obesityDegree), obesity);
    QCOMPARE(u.band ? u.band->caption : QString(), judgement);
    QCOMPARE(u.after.keepsWeight, false);
    QCOMPARE(u.after.meterBmi, meterValue(static_cast<qint16>(position)));
    if (before.keepsWeight) {
        QCOMPARE(u.after.weight, before.weight);
        QCOMPARE(u.after.bmi, before.bmi);
    } else {
        QCOMPARE(u.after.bmi, std::optional(meterValue(static_cast<qint16>(position))));
    }
}

QTEST_GUILESS_MAIN(tst_MeterReading)
#include "tst_meterreading.moc"
