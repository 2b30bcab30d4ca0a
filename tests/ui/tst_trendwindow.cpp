// The trend window on histories of every size: the points it plots with their dates, the band
// areas cut to the weights on show, the goal line, and what it says when there is nothing to plot
// or some lines could not be read.

#include "measure/bands.h"
#include "ui/trendwindow.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QTest>
#include <QValueAxis>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace morvane;

namespace {

const QLocale kJapan{QLocale::Japanese, QLocale::Japan};
const QDate kToday{2026, 5, 11};

QString historyLine(const QDate& date, double weight)
{
    return date.toString(u"MM/dd"_s) + u"  "_s + QString::number(weight, 'f', 1) +
           u"Kg  24.1  9.6%"_s;
}

// One line a day up to today, with weights swinging between 60 and 70 kg.
QStringList dailyHistory(int days)
{
    QStringList lines;
    for (int i = 0; i < days; ++i) {
        const double weight = 65.0 + 5.0 * std::sin(i / 40.0);
        lines.append(historyLine(kToday.addDays(i - days + 1), weight));
    }
    return lines;
}

// A date is plotted at its noon.
qreal timeOf(const QDate& date)
{
    return static_cast<qreal>(QDateTime(date, QTime(12, 0)).toMSecsSinceEpoch());
}

// The labels the time axis shows: its ticks divide the range into equal steps, and each is
// labelled with the date it falls on.
QStringList labelsOf(const QDateTimeAxis& axis)
{
    const qint64 low = axis.min().toMSecsSinceEpoch();
    const qint64 high = axis.max().toMSecsSinceEpoch();
    const int ticks = axis.tickCount();
    QStringList labels;
    for (int i = 0; i < ticks; ++i) {
        const qint64 t = low + qRound64(double(high - low) * i / (ticks - 1));
        labels.append(QDateTime::fromMSecsSinceEpoch(t).toString(axis.format()));
    }
    return labels;
}

template <class T> QList<T*> seriesOf(const TrendWindow& window)
{
    QList<T*> found;
    for (QAbstractSeries* series : window.chartView()->chart()->series()) {
        if (auto* typed = qobject_cast<T*>(series))
            found.append(typed);
    }
    return found;
}

QLineSeries* lineNamed(const TrendWindow& window, const QString& prefix)
{
    for (QLineSeries* series : seriesOf<QLineSeries>(window)) {
        if (series->name().startsWith(prefix))
            return series;
    }
    return nullptr;
}

} // namespace

class tst_TrendWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void thousandLines();
    void bandAreas_data();
    void bandAreas();
    void oneLine();
    void goalLine_data();
    void goalLine();
    void dateLabels_data();
    void dateLabels();
    void escapeCloses();
    void nothingToPlot_data();
    void nothingToPlot();
    void skippedLines_data();
    void skippedLines();
};

void tst_TrendWindow::initTestCase()
{
    QLocale::setDefault(kJapan);
}

void tst_TrendWindow::thousandLines()
{
    QWidget owner;
    const QStringList history = dailyHistory(1000);
    TrendWindow window(history, 1.685f, kToday, kJapan, &owner);
    window.show();

    QVERIFY(window.isWindow());
    QCOMPARE(window.parentWidget(), &owner);
    QVERIFY(!window.isModal());
    QCOMPARE(window.windowTitle(), u"体重の推移"_s);
    QVERIFY(window.chartView()->isVisible());
    QVERIFY(!window.messageLabel()->isVisible());
    QVERIFY(!window.skippedLabel()->isVisible());

    QLineSeries* weights = lineNamed(window, u"体重"_s);
    QLineSeries* average = lineNamed(window, u"移動平均"_s);
    QVERIFY(weights);
    QVERIFY(average);
    QCOMPARE(weights->count(), 1000);
    QCOMPARE(average->count(), 1000);
    // The years come from the line order: the first line is 999 days before today.
    QCOMPARE(weights->at(0).x(), timeOf(kToday.addDays(-999)));
    QCOMPARE(weights->at(999).x(), timeOf(kToday));
    QCOMPARE(weights->at(0).y(), 65.0);
    QCOMPARE(weights->at(500).y(), std::round(10.0 * (65.0 + 5.0 * std::sin(500 / 40.0))) / 10.0);

    const QList<QAbstractAxis*> horizontal = window.chartView()->chart()->axes(Qt::Horizontal);
    QCOMPARE(horizontal.size(), 1);
    auto* time = qobject_cast<QDateTimeAxis*>(horizontal.front());
    QVERIFY(time);
    QCOMPARE(time->min().date(), kToday.addDays(-999));
    QCOMPARE(time->max().date(), kToday);
    QVERIFY(!seriesOf<QAreaSeries>(window).isEmpty());
}

void tst_TrendWindow::bandAreas_data()
{
    QTest::addColumn<double>("low");  // the lightest weight recorded
    QTest::addColumn<double>("high"); // the heaviest
    QTest::addColumn<QStringList>("bands");
    QTest::addColumn<QList<double>>("edges"); // lower and upper weight of each band shown

    // At 1.685 m the standard band is 56.8 ... 68.1 kg and mezzo forte 68.1 ... 75.0 kg. The
    // chart shows 1 kg beyond the recorded weights, at whole kilograms.
    QTest::newRow("60 to 70 kg: standard and mezzo forte, cut to 59 ... 71")
        << 60.0 << 70.0 << QStringList{u"スタンダード"_s, u"でぶメゾフォルテ"_s}
        << QList<double>{59.0, 68.1414, 68.1414, 71.0};
    QTest::newRow("within the standard band: one area")
        << 60.0 << 62.0 << QStringList{u"スタンダード"_s} << QList<double>{59.0, 63.0};
    // The judgement bands go on beyond the meter's ends: 95 kg is still fortissimo.
    QTest::newRow("beyond the meter's end: fortissimo reaches the top")
        << 84.0 << 95.0 << QStringList{u"でぶフォルテ"_s, u"でぶフォルテシモ"_s}
        << QList<double>{83.0, 85.1767, 85.1767, 96.0};
    QTest::newRow("below the meter's end: too thin reaches the bottom")
        << 40.0 << 42.0 << QStringList{u"やせ過ぎ"_s} << QList<double>{39.0, 43.0};
}

void tst_TrendWindow::bandAreas()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(QStringList, bands);
    QFETCH(QList<double>, edges);

    const QStringList history{historyLine(kToday.addDays(-1), low), historyLine(kToday, high)};
    TrendWindow window(history, 1.685f, kToday, kJapan);

    const QList<QAreaSeries*> areas = seriesOf<QAreaSeries>(window);
    QStringList names;
    for (QAreaSeries* area : areas)
        names.append(area->name());
    QCOMPARE(names, bands);

    for (qsizetype i = 0; i < areas.size(); ++i) {
        const QAreaSeries* area = areas[i];
        QVERIFY(qAbs(area->lowerSeries()->at(0).y() - edges[2 * i]) < 1e-3);
        QVERIFY(qAbs(area->upperSeries()->at(0).y() - edges[2 * i + 1]) < 1e-3);
        // The band's own colour, see-through so that the lines stay readable.
        const auto band = std::find_if(morvane::bands().begin(), morvane::bands().end(),
                                       [&](const Band& b) { return b.caption == area->name(); });
        QCOMPARE(area->color().rgb(), QColor::fromRgba(band->background).rgb());
        QVERIFY(area->color().alpha() < 255);
    }

    auto* weight = qobject_cast<QValueAxis*>(window.chartView()->chart()->axes(Qt::Vertical)[0]);
    QVERIFY(weight);
    QCOMPARE(weight->min(), edges.front());
    QCOMPARE(weight->max(), edges.back());
}

void tst_TrendWindow::oneLine()
{
    TrendWindow window({historyLine(kToday, 68.5)}, std::nullopt, kToday, kJapan);
    window.show();

    QLineSeries* weights = lineNamed(window, u"体重"_s);
    QVERIFY(weights);
    QCOMPARE(weights->count(), 1);
    QVERIFY(weights->pointsVisible()); // a line of one point would draw nothing
    auto* time = qobject_cast<QDateTimeAxis*>(window.chartView()->chart()->axes(Qt::Horizontal)[0]);
    QVERIFY(time);
    QVERIFY(time->min().date() < kToday);
    QVERIFY(time->max().date() > kToday);
    // Without a height there are no bands, and the window says why.
    QVERIFY(seriesOf<QAreaSeries>(window).isEmpty());
    auto* note = window.findChild<QLabel*>(u"lblNote"_s);
    QVERIFY(note);
    QVERIFY(note->isVisible());
    QVERIFY(note->text().contains(u"身長"_s));
}

void tst_TrendWindow::goalLine_data()
{
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<float>("goal");
    QTest::addColumn<double>("low"); // the weight axis afterwards; both 0: no chart, no line
    QTest::addColumn<double>("high");

    const QStringList sixtyToSeventy{historyLine(kToday.addDays(-30), 70.0),
                                     historyLine(kToday, 60.0)};
    QTest::newRow("goal among the weights: the scale stays")
        << sixtyToSeventy << 62.0f << 59.0 << 71.0;
    QTest::newRow("goal below the weights: the scale reaches down to it")
        << sixtyToSeventy << 55.5f << 54.0 << 71.0;
    QTest::newRow("goal above the weights: the scale reaches up to it")
        << sixtyToSeventy << 80.0f << 59.0 << 81.0;
    QTest::newRow("nothing to plot: no line") << QStringList{} << 62.0f << 0.0 << 0.0;
}

void tst_TrendWindow::goalLine()
{
    QFETCH(QStringList, history);
    QFETCH(float, goal);
    QFETCH(double, low);
    QFETCH(double, high);

    TrendWindow window(history, 1.685f, goal, kToday, kJapan);
    window.show();
    QChart* chart = window.chartView()->chart();
    if (low == high) {
        QVERIFY(!window.goalSeries());
        QVERIFY(chart->series().isEmpty());
        return;
    }

    QLineSeries* line = window.goalSeries();
    QVERIFY(line);
    const QString label = u"目標 %1 kg"_s.arg(kJapan.toString(goal, 'f', 1));
    QCOMPARE(line->name(), label);
    QCOMPARE(line->count(), 2);
    auto* time = qobject_cast<QDateTimeAxis*>(chart->axes(Qt::Horizontal)[0]);
    auto* weight = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical)[0]);
    QVERIFY(time && weight);
    // Level, across the whole time span.
    QCOMPARE(line->at(0), QPointF(time->min().toMSecsSinceEpoch(), goal));
    QCOMPARE(line->at(1), QPointF(time->max().toMSecsSinceEpoch(), goal));
    QCOMPARE(weight->min(), low);
    QCOMPARE(weight->max(), high);

    // Its label sits on the line inside the plot.
    QGraphicsSimpleTextItem* text = nullptr;
    for (QGraphicsItem* item : chart->childItems()) {
        if (auto* t = dynamic_cast<QGraphicsSimpleTextItem*>(item); t && t->text() == label)
            text = t;
    }
    QVERIFY(text);
    const QRectF plot = chart->plotArea();
    const qreal lineY = chart->mapToPosition(QPointF(0, goal), line).y();
    const QRectF box = text->mapRectToParent(text->boundingRect());
    QVERIFY(plot.contains(box.center()));
    QVERIFY(qAbs(box.bottom() - lineY) <= 2);
    QVERIFY(window.chartView()->accessibleDescription().contains(label));

    // The bands fill the widened scale: the lowest band reaches down to its bottom.
    double lowestBand = high;
    for (QAreaSeries* area : seriesOf<QAreaSeries>(window))
        lowestBand = std::min(lowestBand, area->lowerSeries()->at(0).y());
    QCOMPARE(lowestBand, low);
}

void tst_TrendWindow::dateLabels_data()
{
    QTest::addColumn<QList<int>>("days"); // of the entries, counted from today
    QTest::addColumn<QStringList>("labels");

    // Short spans: one label a day, each on its own day.
    QTest::newRow("one entry: the day before and after too")
        << QList<int>{0} << QStringList{u"2026/05/10"_s, u"2026/05/11"_s, u"2026/05/12"_s};
    QTest::newRow("two days") << QList<int>{-1, 0} << QStringList{u"2026/05/10"_s, u"2026/05/11"_s};
    QTest::newRow("two entries a day over three days")
        << QList<int>{-2, -2, 0, 0}
        << QStringList{u"2026/05/09"_s, u"2026/05/10"_s, u"2026/05/11"_s};
    QTest::newRow("a week") << QList<int>{-7, -3, 0}
                            << QStringList{u"2026/05/04"_s, u"2026/05/05"_s, u"2026/05/06"_s,
                                           u"2026/05/07"_s, u"2026/05/08"_s, u"2026/05/09"_s,
                                           u"2026/05/10"_s, u"2026/05/11"_s};
    // Longer spans: steps of whole days where the span allows.
    QTest::newRow("ten days: steps of two")
        << QList<int>{-10, 0} << QStringList{u"2026/05/01"_s, u"2026/05/03"_s, u"2026/05/05"_s,
                                             u"2026/05/07"_s, u"2026/05/09"_s, u"2026/05/11"_s};
    QTest::newRow("eleven days: stretched to four steps of three")
        << QList<int>{-11, 0}
        << QStringList{u"2026/04/30"_s, u"2026/05/03"_s, u"2026/05/06"_s, u"2026/05/09"_s,
                       u"2026/05/12"_s};
}

void tst_TrendWindow::dateLabels()
{
    QFETCH(QList<int>, days);
    QFETCH(QStringList, labels);

    QStringList history;
    for (int day : days)
        history.append(historyLine(kToday.addDays(day), 68.5));
    TrendWindow window(history, 1.685f, kToday, kJapan);
    auto* time = qobject_cast<QDateTimeAxis*>(window.chartView()->chart()->axes(Qt::Horizontal)[0]);
    QVERIFY(time);
    QCOMPARE(labelsOf(*time), labels);
}

void tst_TrendWindow::escapeCloses()
{
    QWidget owner;
    owner.show();
    auto* window = new TrendWindow(dailyHistory(10), 1.685f, kToday, kJapan, &owner);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::keyClick(window->chartView(), Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QVERIFY(owner.isVisible());
}

void tst_TrendWindow::nothingToPlot_data()
{
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty history") << QStringList{} << u"まだ履歴がありません"_s;
    QTest::newRow("no readable line") << QStringList{u"garbage"_s, u"02/30  68.5Kg  24.1  9.6%"_s}
                                      << u"グラフにできる行がありません"_s;
}

void tst_TrendWindow::nothingToPlot()
{
    QFETCH(QStringList, history);
    QFETCH(QString, message);

    TrendWindow window(history, 1.685f, kToday, kJapan);
    window.show();
    QVERIFY(window.messageLabel()->isVisible());
    QVERIFY2(window.messageLabel()->text().contains(message),
             qPrintable(window.messageLabel()->text()));
    QVERIFY(!window.chartView()->isVisible());
    QVERIFY(window.chartView()->chart()->series().isEmpty());
}

void tst_TrendWindow::skippedLines_data()
{
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("label"); // empty: the label is hidden

    const QString a = historyLine(kToday.addDays(-2), 68.0);
    const QString b = historyLine(kToday.addDays(-1), 68.2);
    const QString c = historyLine(kToday, 68.5);
    QTest::newRow("all readable: no label") << QStringList{a, b, c} << 3 << QString();
    QTest::newRow("garbage, empty line and 02/30")
        << QStringList{a, u"garbage"_s, QString(), b, u"02/30  68.5Kg  24.1  9.6%"_s, c} << 3
        << u"読み取れなかった行: 3"_s;
    QTest::newRow("nothing readable")
        << QStringList{u"x"_s, u"y"_s} << 0 << u"読み取れなかった行: 2"_s;
    QStringList many = dailyHistory(1200);
    for (int i = 0; i < 1100; ++i)
        many.insert(i, u"?"_s);
    QTest::newRow("count with the locale's digits")
        << many << 1200 << u"読み取れなかった行: 1,100"_s;
}

void tst_TrendWindow::skippedLines()
{
    QFETCH(QStringList, history);
    QFETCH(int, points);
    QFETCH(QString, label);

    TrendWindow window(history, 1.685f, kToday, kJapan);
    window.show();
    QCOMPARE(window.skippedLabel()->isVisible(), !label.isEmpty());
    if (!label.isEmpty())
        QCOMPARE(window.skippedLabel()->text(), label);
    QLineSeries* weights = lineNamed(window, u"体重"_s);
    QCOMPARE(weights ? weights->count() : 0, points);
}

QTEST_MAIN(tst_TrendWindow)
#include "tst_trendwindow.moc"
