// Reading the history back as dated weights: the years worked out from the order of the lines, the
// lines that are skipped, the smoothed trend, its figures and goal forecast,
// and what the chart makes of them: a range, its summary, its scale, its date ticks, a point read.

#include "measure/trend.h"
#include "measure/trendplot.h"
#include "store/history.h"

#include <QLocale>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;
using namespace morvane;

namespace {

// A history line for a month/day ("12/31") with fixed values.
QString line(const QString& monthDay)
{
    return monthDay + u"  68.5Kg  24.1  9.6%"_s;
}

QStringList lines(const QStringList& monthDays)
{
    QStringList result;
    for (const QString& monthDay : monthDays)
        result.append(monthDay.contains(u'/') ? line(monthDay) : monthDay);
    return result;
}

Trend trendOf(const QStringList& lines, const QDate& today)
{
    return readTrend(History((lines.join(u"\r\n"_s) + u"\r\n"_s).toUtf8()), today);
}

// The chart's entries for weights recorded a number of days before today (x), in that order.
const QDate kToday{2026, 12, 7};
TrendSeries seriesOf(const QList<QPointF>& entries)
{
    QStringList history;
    for (const QPointF& e : entries) {
        history.append(kToday.addDays(qint64(e.x())).toString(u"MM/dd"_s) + u"  "_s +
                       QString::number(e.y(), 'f', 1) + u"Kg  24.1  9.6%"_s);
    }
    return trendSeries(trendOf(history, kToday));
}

using Points = QList<QPointF>;
using Values = QList<double>;
const double kNone = qQNaN(); // no value expected

// Entries on days after kDay0 (x), of weight y.
const QDate kDay0{2026, 9, 1};
QList<TrendEntry> entriesOf(const QList<QPointF>& points)
{
    QList<TrendEntry> entries;
    for (const QPointF& p : points)
        entries.append({kDay0.addDays(qint64(p.x())), p.y()});
    return entries;
}

// Weighings on day 0, day 1 and the given days, on the line 70 + slope × day, except day 0 nine
// slopes below it: t(1) = 70 − 9s + 0.1 × (70 + s − (70 − 9s)) = 70 − 8s, so the trend stays nine
// slopes below the weights, trend(day) = 70 + slope × (day − 9), and its weekly rate is 7 × slope.
QList<TrendEntry> linear(double slope, const QList<int>& days)
{
    Points points{{0, 70 - 9 * slope}, {1, 70 + slope}};
    for (const int day : days)
        points.append({double(day), 70 + slope * day});
    return entriesOf(points);
}

bool matches(std::optional<double> got, double expected)
{
    return got ? std::abs(*got - expected) < 1e-9 : std::isnan(expected);
}

} // namespace

class tst_Trend : public QObject {
    Q_OBJECT

private slots:
    void years_data();
    void years();
    void entriesKeepTheirValues();
    void chartPoints_data();
    void chartPoints();
    void range_data();
    void range();
    void dateTicks_data();
    void dateTicks();
    void readPoint_data();
    void readPoint();
    void dailyTrend_data();
    void dailyTrend();
    void figures_data();
    void figures();
    void figuresTexts_data();
    void figuresTexts();
};

void tst_Trend::years_data()
{
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QList<QDate>>("dates");
    QTest::addColumn<int>("skipped");

    QTest::newRow("across a new year")
        << lines({u"12/30"_s, u"12/31"_s, u"01/01"_s, u"01/02"_s}) << QDate(2027, 1, 5)
        << QList<QDate>{{2026, 12, 30}, {2026, 12, 31}, {2027, 1, 1}, {2027, 1, 2}} << 0;
    QTest::newRow("newest line is today") << lines({u"12/31"_s, u"01/05"_s}) << QDate(2027, 1, 5)
                                          << QList<QDate>{{2026, 12, 31}, {2027, 1, 5}} << 0;
    QTest::newRow("newest date after today belongs to last year")
        << lines({u"12/30"_s, u"12/31"_s}) << QDate(2027, 1, 5)
        << QList<QDate>{{2026, 12, 30}, {2026, 12, 31}} << 0;
    QTest::newRow("newest date the day after today")
        << lines({u"05/12"_s}) << QDate(2026, 5, 11) << QList<QDate>{{2025, 5, 12}} << 0;
    QTest::newRow("several wraps")
        << lines({u"03/01"_s, u"11/01"_s, u"02/01"_s, u"12/01"_s, u"01/01"_s}) << QDate(2027, 6, 1)
        << QList<QDate>{{2025, 3, 1}, {2025, 11, 1}, {2026, 2, 1}, {2026, 12, 1}, {2027, 1, 1}}
        << 0;
    QTest::newRow("the same date twice stays in one year")
        << lines({u"05/11"_s, u"05/11"_s}) << QDate(2026, 5, 11)
        << QList<QDate>{{2026, 5, 11}, {2026, 5, 11}} << 0;
    QTest::newRow("a year of one line each month")
        << lines({u"06/01"_s, u"09/01"_s, u"12/01"_s, u"03/01"_s, u"05/01"_s}) << QDate(2026, 5, 11)
        << QList<QDate>{{2025, 6, 1}, {2025, 9, 1}, {2025, 12, 1}, {2026, 3, 1}, {2026, 5, 1}} << 0;
    QTest::newRow("02/29 in a leap year") << lines({u"02/28"_s, u"02/29"_s}) << QDate(2028, 3, 1)
                                          << QList<QDate>{{2028, 2, 28}, {2028, 2, 29}} << 0;
    QTest::newRow("02/29 in a common year is skipped")
        << lines({u"02/28"_s, u"02/29"_s, u"03/01"_s}) << QDate(2027, 3, 1)
        << QList<QDate>{{2027, 2, 28}, {2027, 3, 1}} << 1;
    // 02/29 lands on 2026 and is skipped, but it still stepped the year back: 03/01 is later
    // than 02/29, so it is 2025, not 2026.
    QTest::newRow("a skipped 02/29 still counts in the walk")
        << lines({u"03/01"_s, u"02/29"_s, u"01/15"_s}) << QDate(2027, 2, 1)
        << QList<QDate>{{2025, 3, 1}, {2027, 1, 15}} << 1;
    // Unreadable lines take no part: 12/31 is compared with 01/02, not with the garbage. An empty
    // line is no entry of the history at all.
    QTest::newRow("garbage and 02/30 are skipped and counted, an empty line is none")
        << lines({u"12/31"_s, u"garbage"_s, QString(), line(u"02/30"_s), u"01/02"_s})
        << QDate(2027, 1, 5) << QList<QDate>{{2026, 12, 31}, {2027, 1, 2}} << 2;
    QTest::newRow("comma-decimal and dot-date lines")
        << QStringList{u"12.31  68,5Kg  24,1  9,6%"_s, u"01-02  68.0Kg  24.0  8.8%"_s}
        << QDate(2027, 1, 5) << QList<QDate>{{2026, 12, 31}, {2027, 1, 2}} << 0;
    QTest::newRow("nothing readable")
        << QStringList{u"x"_s, u"y"_s} << QDate(2027, 1, 5) << QList<QDate>{} << 2;
    QTest::newRow("empty history") << QStringList{} << QDate(2027, 1, 5) << QList<QDate>{} << 0;
}

void tst_Trend::years()
{
    QFETCH(QStringList, history);
    QFETCH(QDate, today);
    QFETCH(QList<QDate>, dates);
    QFETCH(int, skipped);

    const Trend trend = trendOf(history, today);
    QList<QDate> got;
    for (const TrendEntry& entry : trend.entries)
        got.append(entry.date);
    QCOMPARE(got, dates);
    QCOMPARE(trend.skippedLines, skipped);
}

void tst_Trend::entriesKeepTheirValues()
{
    const Trend trend = trendOf(
        {u"12/31  68,5Kg  24,1  9,6%"_s, u"bad"_s, u"01/02  60.0Kg  21.1  -3.9%"_s}, {2027, 1, 5});
    QCOMPARE(trend.entries.size(), 2);
    QCOMPARE(trend.entries[0].weight, 68.5);
    QCOMPARE(trend.entries[0].bmi, 24.1);
    QCOMPARE(trend.entries[0].percent, 9.6);
    QCOMPARE(trend.entries[1].weight, 60.0);
    QCOMPARE(trend.entries[1].bmi, 21.1);
    QCOMPARE(trend.entries[1].percent, -3.9);
}

void tst_Trend::chartPoints_data()
{
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<int>("maxPoints");

    QList<double> wave;
    QList<double> spikes;
    QList<double> noise;
    quint32 seed = 12345;
    for (int i = 0; i < 200'000; ++i) {
        wave.append(65.0 + 8.0 * std::sin(i / 300.0));
        // Flat at 60 kg with a one-entry spike above 80 kg now and then.
        spikes.append(i % 7919 == 3 ? 81.0 : 60.0);
        seed = seed * 1664525u + 1013904223u;
        noise.append(55.0 + 30.0 * double(seed >> 8) / double(1u << 24));
    }
    QTest::newRow("few values are all kept") << QList<double>{70, 71, 69} << 4000;
    QTest::newRow("a slow wave") << wave << 4000;
    QTest::newRow("single-entry spikes") << spikes << 4000;
    QTest::newRow("noise crossing every edge") << noise << 4000;
    QTest::newRow("noise, small budget") << noise << 100;
}

void tst_Trend::chartPoints()
{
    QFETCH(QList<double>, values);
    QFETCH(int, maxPoints);

    const QList<qsizetype> kept = morvane::chartPoints(values, maxPoints);
    QVERIFY(kept.size() <= maxPoints);
    if (values.size() <= maxPoints)
        QCOMPARE(kept.size(), values.size());
    QCOMPARE(kept.first(), 0);
    QCOMPARE(kept.last(), values.size() - 1);
    QVERIFY(std::is_sorted(kept.begin(), kept.end()));
    QVERIFY(std::adjacent_find(kept.begin(), kept.end()) == kept.end());

    // Every level the full line crosses between two neighbouring values (a band edge, at any
    // height) is crossed by the drawn line near there: within the kept points around them
    // there is one on each side of it.
    const qsizetype run = 2 * values.size() / std::max<qsizetype>(1, maxPoints - 2) + 2;
    for (qsizetype i = 0; i + 1 < values.size(); ++i) {
        const double low = std::min(values[i], values[i + 1]);
        const double high = std::max(values[i], values[i + 1]);
        if (high - low < 1.0)
            continue;
        const double edge = (low + high) / 2;
        const auto from = std::lower_bound(kept.begin(), kept.end(), i - run);
        const auto to = std::upper_bound(kept.begin(), kept.end(), i + 1 + run);
        bool below = false;
        bool above = false;
        for (auto k = from; k != to; ++k) {
            below = below || values[*k] < edge;
            above = above || values[*k] > edge;
        }
        QVERIFY2(below && above, qPrintable(u"crossing at %1"_s.arg(i)));
    }
}

void tst_Trend::range_data()
{
    QTest::addColumn<QList<QPointF>>("entries"); // days before today, weight
    QTest::addColumn<TrendRange>("range");
    QTest::addColumn<float>("goal"); // 0: none
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QList<double>>("scale"); // low, high, step
    QTest::addColumn<QList<QDate>>("span");
    QTest::addColumn<int>("skipped");

    // The weight on 09/01 is before the range but in the trend, which stays inside the weights'
    // 68.1 ... 71.0 kg and starts again at 68.5 after 36 days without a weighing.
    QTest::newRow("three months")
        << QList<QPointF>{{-97, 71.0}, {-91, 70.3}, {-67, 71.0}, {-36, 68.1}, {0, 68.5}}
        << TrendRange::ThreeMonths << 0.0f
        << u"2026/09/07〜2026/12/07：70.3 kg → 68.5 kg（−1.8 kg）、最低 68.1 kg、最高 71.0 kg"_s
        << QList<double>{67, 72, 1} << QList<QDate>{{2026, 9, 7}, kToday} << 0;
    QTest::newRow("two entries of one date: the date once, a rise")
        << QList<QPointF>{{0, 68.0}, {0, 68.4}} << TrendRange::Month << 0.0f
        << u"2026/12/07：68.0 kg → 68.4 kg（+0.4 kg）、最低 68.0 kg、最高 68.4 kg"_s
        << QList<double>{67, 70, 1} << QList<QDate>{{2026, 11, 7}, kToday} << 0;
    QTest::newRow("a year, no change; a goal below the weights")
        << QList<QPointF>{{-20, 68.5}, {-10, 67.9}, {0, 68.5}} << TrendRange::Year << 60.0f
        << u"2026/11/17〜2026/12/07：68.5 kg → 68.5 kg（±0.0 kg）、最低 67.9 kg、最高 68.5 kg"_s
        << QList<double>{59, 70, 2} << QList<QDate>{{2025, 12, 7}, kToday} << 0;
    QTest::newRow("a month without entries")
        << QList<QPointF>{{-40, 70.0}} << TrendRange::Month << 0.0f
        << u"この期間の記録はありません"_s << QList<double>{0, 1, 1}
        << QList<QDate>{{2026, 11, 7}, kToday} << 0;
    // 0 kg and a billion kilograms are skipped; 1 and 1000 kg are accepted, and so is a goal of
    // 1 kg: the scale still has six labels.
    QTest::newRow("weights outside 1 ... 1000 kg are skipped")
        << QList<QPointF>{{-3, 0.0}, {-2, 1e9}, {-1, 1.0}, {0, 1000.0}} << TrendRange::All << 1.0f
        << u"2026/12/06〜2026/12/07：1.0 kg → 1000.0 kg（+999.0 kg）、最低 1.0 kg、最高 1000.0 kg"_s
        << QList<double>{0, 1050, 200} << QList<QDate>{{2026, 12, 6}, kToday} << 2;
    QTest::newRow("all of a single date: a day either side")
        << QList<QPointF>{{0, 68.5}} << TrendRange::All << 0.0f << u"2026/12/07：68.5 kg"_s
        << QList<double>{67, 70, 1} << QList<QDate>{{2026, 12, 6}, {2026, 12, 8}} << 0;
}

void tst_Trend::range()
{
    QFETCH(QList<QPointF>, entries);
    QFETCH(TrendRange, range);
    QFETCH(float, goal);
    QFETCH(QList<double>, scale);
    QFETCH(QList<QDate>, span);

    const TrendSeries series = seriesOf(entries);
    QTEST(series.skippedLines, "skipped");
    const TrendSlice slice = trendSlice(series, range, kToday);
    QCOMPARE((QList<QDate>{slice.first, slice.last}), span);
    QTEST(trendSummary(series, slice, QLocale(QLocale::Japanese, QLocale::Japan)), "summary");
    const WeightScale got =
        weightScale(series, slice, goal > 0 ? std::optional(goal) : std::nullopt);
    QCOMPARE((QList<double>{got.low, got.high, got.step}), scale);
}

void tst_Trend::dateTicks_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<double>("width"); // of the plot
    QTest::addColumn<QString>("labels");

    const QLocale japan(QLocale::Japanese, QLocale::Japan);
    // Days 79 apart, one short of a label and its gap; the labels of the ends would stick out.
    QTest::newRow("eight days: every other day but the ends")
        << japan << QDate(2026, 5, 1) << QDate(2026, 5, 9) << 632.0
        << u"2026/05/03, 2026/05/05, 2026/05/07"_s;
    QTest::newRow("four weeks, Japan: Sundays")
        << japan << QDate(2026, 4, 1) << QDate(2026, 4, 29) << 1000.0
        << u"2026/04/05, 2026/04/12, 2026/04/19, 2026/04/26"_s;
    QTest::newRow("four weeks, C: Mondays")
        << QLocale::c() << QDate(2026, 4, 1) << QDate(2026, 4, 29) << 1000.0
        << u"6 Apr 2026, 13 Apr 2026, 20 Apr 2026, 27 Apr 2026"_s;
    QTest::newRow(
        "three months and a day: firsts of months, but three labels' shares are too narrow")
        << japan << QDate(2026, 2, 11) << QDate(2026, 5, 12) << 250.0
        << u"2026/03/01, 2026/05/01"_s;
    QTest::newRow("ten years: every fifth year")
        << japan << QDate(2016, 6, 1) << QDate(2026, 5, 11) << 300.0 << u"2020/01/01, 2025/01/01"_s;
    // A history's years come from the order of its lines: a hostile one can span millions.
    QTest::newRow("five million years, counted: every millionth, no year 0")
        << japan << QDate(-5'000'000, 6, 1) << QDate(2026, 5, 11) << 600.0
        << u"-4000000/01/01, -3000000/01/01, -2000000/01/01, -1000000/01/01"_s;
}

void tst_Trend::dateTicks()
{
    QFETCH(QLocale, locale);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(double, width);
    // The plot from 40, the axis 60 wider, labels 7 a character reaching 20 past the plot at most,
    // 8 between neighbours and 5 either side within their shares of the axis.
    const DateAxisRoom room{40.0, width, width + 60.0, 5.0, 40.0 + width + 20.0, 8.0};
    QStringList labels;
    for (const DateTick& tick : fittingDateTicks(
             first, last, room, [](const QString& text) { return 7.0 * text.size(); }, locale))
        labels.append(tick.label);
    QTEST(labels.join(u", "_s), "labels");
    // Whichever are kept, the dates offered lie in the span, none in a year 0.
    for (const QDate& date : morvane::dateTicks(first, last, 1000, locale.firstDayOfWeek()))
        QVERIFY2(date.isValid() && first <= date && date <= last, qPrintable(date.toString()));
}

void tst_Trend::readPoint_data()
{
    QTest::addColumn<double>("day"); // days before today
    QTest::addColumn<double>("weight");
    QTest::addColumn<float>("height"); // 0: none
    QTest::addColumn<QString>("text");

    // The trend: 68.0, then 68.0 + 0.1 × (68.6 − 68.0) = 68.06 on 12/06 (the mean of its two
    // entries), then 68.06 + 0.1 × (68.5 − 68.06) = 68.104.
    QTest::newRow("halfway: the earlier date, its nearest weight")
        << -0.5 << 68.5 << 1.685f << u"2026/12/06　68.2 kg　BMI 24.0　傾向 68.1 kg"_s;
    QTest::newRow("of one date, the nearest weight")
        << -1.0 << 68.9 << 1.685f << u"2026/12/06　69.0 kg　BMI 24.3　傾向 68.1 kg"_s;
    QTest::newRow("after the last, no height: no BMI")
        << 5.0 << 70.0 << 0.0f << u"2026/12/07　68.5 kg　傾向 68.1 kg"_s;
}

void tst_Trend::readPoint()
{
    QFETCH(double, day);
    QFETCH(double, weight);
    QFETCH(float, height);

    const TrendSeries series = seriesOf({{-2, 68.0}, {-1, 68.2}, {-1, 69.0}, {0, 68.5}});
    const TrendSlice slice = trendSlice(series, TrendRange::All, kToday);
    const qsizetype i = nearestEntry(series, slice, double(kToday.toJulianDay()) + day, weight);
    QVERIFY(i >= 0);
    QTEST(pointText(series, i, height > 0 ? std::optional(height) : std::nullopt,
                    QLocale(QLocale::Japanese, QLocale::Japan)),
          "text");
}

void tst_Trend::dailyTrend_data()
{
    QTest::addColumn<Points>("entries"); // day, weight
    QTest::addColumn<Points>("trend");   // day, trend
    QTest::addColumn<int>("runs");

    QTest::newRow("a single entry")
        << Points{{0, 70}} << Points{{-1, kNone}, {0, 70}, {1, kNone}} << 1;
    // (70 + 71) / 2 = 70.5; 70.5 + 0.1 × ((72 + 73) / 2 − 70.5) = 70.7
    QTest::newRow("the entries of a day are averaged")
        << Points{{0, 70}, {0, 71}, {1, 72}, {1, 73}} << Points{{0, 70.5}, {1, 70.7}} << 1;
    // Weights 71, 72, 73 on days 1 to 3: 70 + 0.1 × 1 = 70.1; 70.1 + 0.1 × 1.9 = 70.29;
    // 70.29 + 0.1 × 2.71 = 70.561; 70.561 + 0.1 × 3.439 = 70.9049.
    QTest::newRow("a gap is filled by a straight line")
        << Points{{0, 70}, {4, 74}}
        << Points{{0, 70}, {1, 70.1}, {2, 70.29}, {3, 70.561}, {4, 70.9049}} << 1;
    // Weights rising 0.1 kg a day lag 9 days' rise once the start fades: t(k) = w(k) − 0.9 +
    // 0.9 × 0.9^k, t(15) = 70.6 + 0.9^16 = 70.6 + 0.18530201888518, t(30) = 72.1 + 0.9^31.
    QTest::newRow("a gap of 30 days is filled")
        << Points{{0, 70}, {30, 73}} << Points{{15, 70.78530201888518}, {30, 72.13815204244769}}
        << 1;
    // 70 + 0.1 × (71 − 70) = 70.1; again from 60: 60 + 0.1 × (61 − 60) = 60.1.
    QTest::newRow("a gap of 31 days starts the trend again")
        << Points{{0, 70}, {1, 71}, {32, 60}, {33, 61}}
        << Points{{1, 70.1}, {16, kNone}, {32, 60}, {33, 60.1}} << 2;
}

void tst_Trend::dailyTrend()
{
    QFETCH(Points, entries);
    QFETCH(Points, trend);

    const WeightTrend got(entriesOf(entries));
    QTEST(int(got.runs().size()), "runs");
    for (const QPointF& day : trend) {
        const QDate date = kDay0.addDays(qint64(day.x()));
        QVERIFY2(matches(got.trendOn(date), day.y()), qPrintable(date.toString()));
    }
}

void tst_Trend::figures_data()
{
    QTest::addColumn<QList<TrendEntry>>("history"); // its figures on its last day
    QTest::addColumn<double>("goal");
    // The trend, the weekly rate, the kcal a day, the change over 7 and 28 days.
    QTest::addColumn<Values>("figures");
    QTest::addColumn<GoalOutlook>("outlook");
    QTest::addColumn<int>("daysToGoal");
    using enum GoalOutlook;
    QList<int> month; // days 2 to 29
    for (int day = 2; day <= 29; ++day)
        month.append(day);
    const QList<TrendEntry> losing = linear(-0.06, month);
    const Values losingFigures{68.8, -0.42, -430, -0.42, -1.68};

    // 70 − 0.06 × 20 = 68.8; 7 × −0.06; −0.42 × 7200 / 7 = −432; (62 − 68.8) / −0.06 = 113.3 days
    QTest::newRow("losing towards a goal below")
        << losing << 62.0 << losingFigures << Expected << 114;
    // 70 + 0.06 × 20 = 71.2; (75 − 71.2) / 0.06 = 63.3 days
    QTest::newRow("gaining towards a goal above")
        << linear(0.06, month) << 75.0 << Values{71.2, 0.42, 430, 0.42, 1.68} << Expected << 64;
    QTest::newRow("moving away") << losing << 75.0 << losingFigures << MovingAway << 0;
    QTest::newRow("within 0.1 kg") << losing << 68.75 << losingFigures << Reached << 0;
    // 70 − 0.007 × 20 = 69.86; 7 × −0.007 = −0.049; −0.049 × 7200 / 7 = −50.4
    QTest::newRow("too slow") << linear(-0.007, month) << 62.0
                              << Values{69.86, -0.049, -50, -0.049, -0.196} << TooSlow << 0;
    // −0.056 × 7200 / 7 = −57.6; (62 − 69.84) / −0.008 = 980 days, beyond 2028/09/30
    QTest::newRow("over two years")
        << linear(-0.008, month) << 62.0 << Values{69.84, -0.056, -60, -0.056, -0.224}
        << BeyondTwoYears << 0;
    // Of days 15 to 28, 16, 20, 24 and 28 had a weighing (and day 14 before them).
    QTest::newRow("4 weighings in the last 14 days")
        << linear(-0.06, {14, 16, 20, 24, 28}) << 62.0 << Values{68.86, kNone, kNone, -0.42, -1.68}
        << TooFewEntries << 0;
    // 70 − 0.06 × 19 = 68.86; 6.86 / 0.06 = 114.3 days
    QTest::newRow("5 weighings in the last 14 days")
        << linear(-0.06, {15, 18, 21, 24, 28}) << 62.0 << Values{68.86, -0.42, -430, -0.42, -1.68}
        << Expected << 115;
    // The rate over the run's 6 days; 70 + 0.06 × 4 = 70.24; 8.24 / 0.06 = 137.3 days
    QTest::newRow("a run of 6 days: no changes")
        << linear(-0.06, {2, 3, 4, 5}) << 62.0 << Values{70.24, -0.42, -430, kNone, kNone}
        << Expected << 138;
}

void tst_Trend::figures()
{
    QFETCH(QList<TrendEntry>, history);
    QFETCH(Values, figures);
    QFETCH(double, goal);

    const auto got = trendFigures(WeightTrend(history), history.back().date);
    QVERIFY(got);
    const QList<std::optional<double>> values{got->trend, got->weeklyRate, got->dailyEnergy,
                                              got->change7Days, got->change28Days};
    for (qsizetype i = 0; i < values.size(); ++i)
        QVERIFY2(matches(values[i], figures[i]), qPrintable(QString::number(i)));
    const GoalForecast forecast = goalForecast(*got, goal);
    QTEST(forecast.outlook, "outlook");
    QTEST(forecast.date.isValid() ? int(got->date.daysTo(forecast.date)) : 0, "daysToGoal");
}

void tst_Trend::figuresTexts_data()
{
    QTest::addColumn<TrendFigures>("figures"); // seen on 2026/10/14
    QTest::addColumn<GoalForecast>("forecast");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("texts"); // the figures, the goal, the brief line
    const QLocale japan(QLocale::Japanese, QLocale::Japan);
    using enum GoalOutlook;

    QTest::newRow("losing, figures of 14 days ago")
        << TrendFigures{{2026, 9, 30}, 68.3, -0.42, -460, -0.4, -1.7}
        << GoalForecast{62, Expected, {2027, 3, 14}} << japan
        << QStringList{
               u"傾向 68.3 kg、1週間で −0.42 kg（1日あたり約 −460 kcal）、7日間 −0.40 kg、28日間 −1.70 kg"_s,
               u"目標 62.0 kg 到達予想 2027/03/14ごろ"_s,
               u"傾向: 1週間で −0.42 kg、目標到達予想 2027/03/14ごろ"_s};
    QTest::newRow("too few entries, changes near zero, figures of 15 days ago")
        << TrendFigures{{2026, 9, 29}, 70.0, {}, {}, -0.004, -0.014}
        << GoalForecast{62, TooFewEntries, {}} << japan
        << QStringList{
               u"傾向 70.0 kg、最近の記録が少ないため1週間の変化は出せません、7日間 ±0.00 kg、28日間 −0.01 kg（2026/09/29 時点）"_s,
               u"目標 62.0 kg 最近の記録が少ないため到達予想は出せません"_s, QString()};
    // The locale's dates; the texts are translated only by the program's translator.
    QTest::newRow("US locale, gaining")
        << TrendFigures{{2026, 10, 14}, 71.2, 0.42, 430, 0.42, 1.68}
        << GoalForecast{75, Expected, {2026, 12, 3}}
        << QLocale(QLocale::English, QLocale::UnitedStates)
        << QStringList{
               u"傾向 71.2 kg、1週間で +0.42 kg（1日あたり約 +430 kcal）、7日間 +0.42 kg、28日間 +1.68 kg"_s,
               u"目標 75.0 kg 到達予想 12/3/26ごろ"_s,
               u"傾向: 1週間で +0.42 kg、目標到達予想 12/3/26ごろ"_s};
}

void tst_Trend::figuresTexts()
{
    QFETCH(TrendFigures, figures);
    QFETCH(GoalForecast, forecast);
    QFETCH(QLocale, locale);

    QTEST((QStringList{trendFiguresText(figures, {2026, 10, 14}, locale),
                       goalForecastText(forecast, locale), trendBrief(figures, forecast, locale)}),
          "texts");
}

QTEST_APPLESS_MAIN(tst_Trend)
#include "tst_trend.moc"
