// Band weights at the stored height: the range of every band, the distance from the current
// weight to the neighbouring bands, and the tooltip texts built from them; the goal weight's
// line in the meter's tooltip, and when a new weight differs enough from the stored one to be
// questioned.

#include "measure/bandweights.h"
#include "measure/goal.h"

#include <QLocale>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using namespace morvane;

Q_DECLARE_METATYPE(std::optional<float>)

namespace {

const QLocale jp{QLocale::Japanese, QLocale::Japan};
const QLocale de{QLocale::German, QLocale::Germany};

} // namespace

class tst_BandWeights : public QObject {
    Q_OBJECT

private slots:
    void ranges_data();
    void ranges();
    void distances_data();
    void distances();
    void tooltips_data();
    void tooltips();
    void goal_data();
    void goal();
    void largeChange_data();
    void largeChange();
};

void tst_BandWeights::ranges_data()
{
    QTest::addColumn<float>("height");
    QTest::addColumn<int>("band");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<QString>("text");

    // 1.685 m: Height² = 2.8392248 (from the single 1.685). The outer bands end at the meter's
    // ends, 15.4 and 31.6; 26.4 is the single-precision edge.
    QTest::newRow("1.685 m too thin")
        << 1.685f << 1 << 43.7241 << 48.2668 << u"やせ過ぎ  43.7\u301C48.3 kg"_s;
    QTest::newRow("1.685 m somewhat thin")
        << 1.685f << 2 << 48.2668 << 56.7845 << u"やせ気味  48.3\u301C56.8 kg"_s;
    QTest::newRow("1.685 m standard")
        << 1.685f << 3 << 56.7845 << 68.1414 << u"スタンダード  56.8\u301C68.1 kg"_s;
    QTest::newRow("1.685 m mezzo forte")
        << 1.685f << 4 << 68.1414 << 74.9555 << u"でぶメゾフォルテ  68.1\u301C75.0 kg"_s;
    QTest::newRow("1.685 m forte")
        << 1.685f << 5 << 74.9555 << 85.1767 << u"でぶフォルテ  75.0\u301C85.2 kg"_s;
    QTest::newRow("1.685 m fortissimo")
        << 1.685f << 6 << 85.1767 << 89.7195 << u"でぶフォルテシモ  85.2\u301C89.7 kg"_s;

    // The shortest and the tallest accepted heights.
    QTest::newRow("0.3 m too thin") << 0.3f << 1 << 1.386 << 1.53 << u"やせ過ぎ  1.4\u301C1.5 kg"_s;
    QTest::newRow("0.3 m standard")
        << 0.3f << 3 << 1.8 << 2.16 << u"スタンダード  1.8\u301C2.2 kg"_s;
    QTest::newRow("0.3 m fortissimo")
        << 0.3f << 6 << 2.7 << 2.844 << u"でぶフォルテシモ  2.7\u301C2.8 kg"_s;
    QTest::newRow("3.0 m too thin")
        << 3.0f << 1 << 138.6 << 153.0 << u"やせ過ぎ  138.6\u301C153.0 kg"_s;
    QTest::newRow("3.0 m forte") << 3.0f << 5 << 237.6 << 270.0
                                 << u"でぶフォルテ  237.6\u301C270.0 kg"_s;
    QTest::newRow("3.0 m fortissimo")
        << 3.0f << 6 << 270.0 << 284.4 << u"でぶフォルテシモ  270.0\u301C284.4 kg"_s;
}

void tst_BandWeights::ranges()
{
    QFETCH(float, height);
    QFETCH(int, band);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(QString, text);

    const WeightRange range = bandWeightRange(band, height);
    QVERIFY2(qAbs(range.lower - lower) < 1e-4, qPrintable(QString::number(range.lower, 'g', 10)));
    QVERIFY2(qAbs(range.upper - upper) < 1e-4, qPrintable(QString::number(range.upper, 'g', 10)));
    QCOMPARE(bandRangeText(band, height, jp), text);
}

void tst_BandWeights::distances_data()
{
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("weight");
    QTest::addColumn<int>("upBand"); // 0: no band above
    QTest::addColumn<double>("up");
    QTest::addColumn<int>("downBand"); // 0: no band below
    QTest::addColumn<double>("down");
    QTest::addColumn<QString>("text");

    QTest::newRow("1.685 m, 68.5 kg (BMI 24.1)")
        << 1.685f << 68.5f << 5 << 6.4555 << 3 << -0.3586
        << u"上の区分（でぶフォルテ）まで  +6.5 kg\n下の区分（スタンダード）まで  \u22120.4 kg"_s;
    QTest::newRow("on the 20 edge: already standard, any loss crosses it")
        << 2.0f << 80.0f << 4 << 16.0 << 2 << 0.0
        << u"上の区分（でぶメゾフォルテ）まで  +16.0 kg\n下の区分（やせ気味）まで  \u22120.0 kg"_s;
    // 105.6 kg at 2 m is BMI 26.4 in single precision: on the edge bandFor uses, so forte.
    QTest::newRow("on the single 26.4 edge")
        << 2.0f << 105.6f << 6 << 14.4 << 4 << 0.0
        << u"上の区分（でぶフォルテシモ）まで  +14.4 kg\n下の区分（でぶメゾフォルテ）まで  \u22120.0 kg"_s;
    QTest::newRow("just above the 17 edge")
        << 2.0f << 68.1f << 3 << 11.9 << 1 << -0.1
        << u"上の区分（スタンダード）まで  +11.9 kg\n下の区分（やせ過ぎ）まで  \u22120.1 kg"_s;
    QTest::newRow("below 17: nothing below")
        << 2.0f << 60.0f << 2 << 8.0 << 0 << 0.0 << u"上の区分（やせ気味）まで  +8.0 kg"_s;
    QTest::newRow("on the 30 edge: nothing above")
        << 2.0f << 120.0f << 0 << 0.0 << 5 << 0.0
        << u"下の区分（でぶフォルテ）まで  \u22120.0 kg"_s;
    QTest::newRow("beyond the meter's end (BMI 50)")
        << 2.0f << 200.0f << 0 << 0.0 << 5 << -80.0
        << u"下の区分（でぶフォルテ）まで  \u221280.0 kg"_s;
}

void tst_BandWeights::distances()
{
    QFETCH(float, height);
    QFETCH(float, weight);
    QFETCH(int, upBand);
    QFETCH(double, up);
    QFETCH(int, downBand);
    QFETCH(double, down);
    QFETCH(QString, text);

    const EdgeDistances d = edgeDistances(height, weight);
    QCOMPARE(d.up.has_value(), upBand != 0);
    if (d.up) {
        QCOMPARE(d.up->band, upBand);
        QVERIFY2(qAbs(d.up->kilograms - up) < 1e-4, qPrintable(QString::number(d.up->kilograms)));
    }
    QCOMPARE(d.down.has_value(), downBand != 0);
    if (d.down) {
        QCOMPARE(d.down->band, downBand);
        QVERIFY2(qAbs(d.down->kilograms - down) < 1e-4,
                 qPrintable(QString::number(d.down->kilograms)));
        QVERIFY(d.down->kilograms <= 0.0);
    }
    QCOMPARE(edgeDistanceText(height, weight, jp), text);
}

void tst_BandWeights::tooltips_data()
{
    QTest::addColumn<int>("band"); // 0: the meter's tooltip
    QTest::addColumn<std::optional<float>>("height");
    QTest::addColumn<std::optional<float>>("weight");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");

    const std::optional<float> h = 1.685f, w = 68.5f, none;
    const QString distances =
        u"上の区分（でぶフォルテ）まで  +6.5 kg\n下の区分（スタンダード）まで  \u22120.4 kg"_s;
    const QString ranges = u"身長 1.685 m での各区分の体重\n"
                           u"やせ過ぎ  43.7\u301C48.3 kg\n"
                           u"やせ気味  48.3\u301C56.8 kg\n"
                           u"スタンダード  56.8\u301C68.1 kg\n"
                           u"でぶメゾフォルテ  68.1\u301C75.0 kg\n"
                           u"でぶフォルテ  75.0\u301C85.2 kg\n"
                           u"でぶフォルテシモ  85.2\u301C89.7 kg"_s;
    const QString needHeight = u"体重の範囲を出すには、身長の登録が必要です"_s;

    QTest::newRow("band: height and weight")
        << 3 << h << w << jp << u"スタンダード  56.8\u301C68.1 kg\n"_s + distances;
    QTest::newRow("band: no weight, range only")
        << 3 << h << none << jp << u"スタンダード  56.8\u301C68.1 kg"_s;
    QTest::newRow("band: no height") << 5 << none << w << jp << u"でぶフォルテ\n"_s + needHeight;
    QTest::newRow("band: German decimal comma")
        << 3 << h << w << de
        << u"スタンダード  56,8\u301C68,1 kg\n"
           u"上の区分（でぶフォルテ）まで  +6,5 kg\n下の区分（スタンダード）まで  \u22120,4 kg"_s;
    QTest::newRow("meter: height and weight") << 0 << h << w << jp << ranges + u'\n' + distances;
    QTest::newRow("meter: no weight") << 0 << h << none << jp << ranges;
    QTest::newRow("meter: no height, whatever the weight") << 0 << none << w << jp << needHeight;
    QTest::newRow("meter: German decimal comma") << 0 << h << none << de
                                                 << u"身長 1,685 m での各区分の体重\n"
                                                    u"やせ過ぎ  43,7\u301C48,3 kg\n"
                                                    u"やせ気味  48,3\u301C56,8 kg\n"
                                                    u"スタンダード  56,8\u301C68,1 kg\n"
                                                    u"でぶメゾフォルテ  68,1\u301C75,0 kg\n"
                                                    u"でぶフォルテ  75,0\u301C85,2 kg\n"
                                                    u"でぶフォルテシモ  85,2\u301C89,7 kg"_s;
}

void tst_BandWeights::tooltips()
{
    QFETCH(int, band);
    QFETCH(std::optional<float>, height);
    QFETCH(std::optional<float>, weight);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);

    const QString tooltip = band == 0 ? meterTooltip(height, weight, locale)
                                      : bandTooltip(band, height, weight, locale);
    QCOMPARE(tooltip, text);
}

void tst_BandWeights::goal_data()
{
    QTest::addColumn<float>("goal");
    QTest::addColumn<std::optional<float>>("weight");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");

    const std::optional<float> none;
    QTest::newRow("to lose") << 62.0f << std::optional(68.5f) << jp
                             << u"目標 62.0 kg まで \u22126.5 kg"_s;
    QTest::newRow("to gain") << 70.0f << std::optional(68.5f) << jp
                             << u"目標 70.0 kg まで +1.5 kg"_s;
    QTest::newRow("reached") << 68.5f << std::optional(68.5f) << jp
                             << u"目標 68.5 kg まで 0.0 kg"_s;
    QTest::newRow("rounds to 0.0: no sign")
        << 68.5f << std::optional(68.52f) << jp << u"目標 68.5 kg まで 0.0 kg"_s;
    QTest::newRow("rounds to 0.1: signed")
        << 68.5f << std::optional(68.58f) << jp << u"目標 68.5 kg まで \u22120.1 kg"_s;
    QTest::newRow("no weight yet") << 62.0f << none << jp << u"目標 62.0 kg"_s;
    QTest::newRow("German decimal comma")
        << 62.0f << std::optional(68.5f) << de << u"目標 62,0 kg まで \u22126,5 kg"_s;
}

void tst_BandWeights::goal()
{
    QFETCH(float, goal);
    QFETCH(std::optional<float>, weight);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);

    QCOMPARE(goalText(goal, weight, locale), text);
    // The meter's tooltip ends with it, with or without a height.
    QVERIFY(meterTooltip(1.685f, weight, locale, goal).endsWith(u'\n' + text));
    QVERIFY(meterTooltip(std::nullopt, weight, locale, goal).endsWith(u'\n' + text));
    QVERIFY(!meterTooltip(1.685f, weight, locale).contains(u"目標"_s));
}

void tst_BandWeights::largeChange_data()
{
    QTest::addColumn<float>("stored");
    QTest::addColumn<float>("entered");
    QTest::addColumn<bool>("large");

    QTest::newRow("slipped decimal point") << 68.5f << 685.0f << true;
    QTest::newRow("digit left out") << 68.5f << 6.85f << true;
    QTest::newRow("a day's swing") << 68.5f << 67.2f << false;
    QTest::newRow("the same weight") << 68.5f << 68.5f << false;
    QTest::newRow("exactly 10 % up is not more") << 60.0f << 66.0f << false;
    QTest::newRow("exactly 10 % down is not more") << 60.0f << 54.0f << false;
    QTest::newRow("just over 10 % up") << 60.0f << 66.1f << true;
    QTest::newRow("just over 10 % down") << 60.0f << 53.9f << true;
    QTest::newRow("10 % of 68.5 as stored in single precision") << 68.5f << 75.35f << false;
    QTest::newRow("light weights scale too") << 3.0f << 3.4f << true;
}

void tst_BandWeights::largeChange()
{
    QFETCH(float, stored);
    QFETCH(float, entered);
    QFETCH(bool, large);
    QCOMPARE(isLargeChange(stored, entered), large);
}

QTEST_APPLESS_MAIN(tst_BandWeights)
#include "tst_bandweights.moc"
