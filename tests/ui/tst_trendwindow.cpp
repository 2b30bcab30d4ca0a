// The trend window on histories of every size: the points it plots with their dates, the ranges,
// the band areas cut to the weights on show, the goal line, the date labels at every size, a
// point read with the keys and the pointer, the dark theme, and what it says when there is
// nothing to plot or some lines could not be read.

#include "measure/bands.h"
#include "ui/accessibility.h"
#include "ui/trendwindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QTest>
#include <QValueAxis>

#ifdef MORVANE_ACCESSIBILITY_EVENTS
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#endif

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

History historyOf(const QStringList& lines)
{
    return History((lines.join(u"\r\n"_s) + u"\r\n"_s).toUtf8());
}

double dailyWeight(int i)
{
    return std::round(10.0 * (65.0 + 5.0 * std::sin(i / 40.0))) / 10.0;
}

// One line every `step` days up to today, with weights swinging between 60 and 70 kg.
QStringList dailyHistory(int days, int step = 1)
{
    QStringList lines;
    for (int i = 0; i < days; i += step)
        lines.append(historyLine(kToday.addDays(i - days + 1), dailyWeight(i)));
    return lines;
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

template <class T> T* axis(const TrendWindow& window, Qt::Orientation orientation)
{
    return qobject_cast<T*>(window.chartView()->chart()->axes(orientation).value(0));
}

QList<QAccessible::Event> g_events; // the events sent for the chart's child

} // namespace

class tst_TrendWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void ranges_data();
    void ranges();
    void bandAreas_data();
    void bandAreas();
    void goalLine_data();
    void goalLine();
    void dateLabels_data();
    void dateLabels();
    void readPoint_data();
    void readPoint();
    void darkPalette();
    void escapeCloses();
    void nothingToPlot_data();
    void nothingToPlot();
    void skippedLines_data();
    void skippedLines();
};

void tst_TrendWindow::initTestCase()
{
    QLocale::setDefault(kJapan);
    installAccessibility();
#ifdef MORVANE_ACCESSIBILITY_EVENTS
    // As when a screen reader is listening: events go to the handler.
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
        if (event->child() == 0)
            g_events.append(event->type());
    });
#endif
}

// Each window opens with the range chosen last: a test starts from everything.
void tst_TrendWindow::init()
{
    TrendWindow(History(), std::nullopt, std::nullopt, kToday, kJapan).setRange(TrendRange::All);
}

void tst_TrendWindow::ranges_data()
{
    QTest::addColumn<TrendRange>("range");
    QTest::addColumn<QDate>("first"); // of the time axis; the last is today
    // Chosen as a screen reader does, by the button's Toggle action, instead of a click.
    QTest::addColumn<bool>("toggled");

    QTest::newRow("1か月") << TrendRange::Month << QDate(2026, 4, 11) << false;
    QTest::newRow("3か月") << TrendRange::ThreeMonths << QDate(2026, 2, 11) << false;
    QTest::newRow("1年") << TrendRange::Year << QDate(2025, 5, 11) << false;
    QTest::newRow("すべて") << TrendRange::All << kToday.addDays(-999) << false;
    QTest::newRow("1か月, toggled") << TrendRange::Month << QDate(2026, 4, 11) << true;
    QTest::newRow("1年, toggled") << TrendRange::Year << QDate(2025, 5, 11) << true;
}

void tst_TrendWindow::ranges()
{
    QFETCH(TrendRange, range);
    QFETCH(QDate, first);
    QFETCH(bool, toggled);

    QWidget owner;
    TrendWindow window(historyOf(dailyHistory(1000)), 1.685f, 62.0f, kToday, kJapan, &owner);
    window.show();
    QVERIFY(window.isWindow() && !window.isModal());
    QCOMPARE(window.parentWidget(), &owner);
    QCOMPARE(window.windowTitle(), u"体重の推移"_s);
    QVERIFY(window.rangeButton(TrendRange::All)->isChecked()); // at first, everything
    if (toggled) {
        QAccessibleInterface* button =
            QAccessible::queryAccessibleInterface(window.rangeButton(range));
        QVERIFY(button && button->actionInterface());
        button->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    } else {
        QTest::mouseClick(window.rangeButton(range), Qt::LeftButton);
    }
    QCOMPARE(window.range(), range);

    const int days = int(first.daysTo(kToday)) + 1;
    QLineSeries* weights = lineNamed(window, u"体重"_s);
    QLineSeries* trend = lineNamed(window, u"傾向"_s);
    QVERIFY(weights && trend);
    // A date is plotted at its Julian day; the years come from the order of the lines.
    QCOMPARE(weights->count(), days);
    QCOMPARE(weights->at(0), QPointF(first.toJulianDay(), dailyWeight(1000 - days)));
    // The trend at the range's first day counts every day before it, a day a point.
    double smoothed = dailyWeight(0);
    for (int i = 1; i <= 1000 - days; ++i)
        smoothed += 0.1 * (dailyWeight(i) - smoothed);
    QCOMPARE(trend->count(), days);
    QCOMPARE(trend->at(0).x(), double(first.toJulianDay()));
    QVERIFY(qFuzzyCompare(trend->at(0).y(), smoothed));
    auto* time = axis<QCategoryAxis>(window, Qt::Horizontal);
    QVERIFY(time);
    QCOMPARE(time->min(), double(first.toJulianDay()));
    QCOMPARE(time->max(), double(kToday.toJulianDay()));
    QCOMPARE(window.goalSeries()->at(0).x(), time->min());

    // The summary starts at the range's first entry, then tells where the trend is heading and
    // when the goal will be reached; the chart's description begins with it.
    const QString summary = window.summaryLabel()->text();
    QVERIFY2(summary.startsWith(kJapan.toString(first, QLocale::ShortFormat)), qPrintable(summary));
    QVERIFY2(summary.contains(u"\n傾向 "_s) && summary.contains(u"\n目標 62.0 kg "_s),
             qPrintable(summary));
    QVERIFY(window.chartView()->accessibleDescription().startsWith(summary + u'。'));

    // The next window opens with the range chosen.
    TrendWindow next(historyOf(dailyHistory(10)), 1.685f, std::nullopt, kToday, kJapan);
    QCOMPARE(next.range(), range);
    QVERIFY(next.rangeButton(range)->isChecked());
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
    TrendWindow window(historyOf(history), 1.685f, std::nullopt, kToday, kJapan);

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

    auto* weight = axis<QValueAxis>(window, Qt::Vertical);
    QVERIFY(weight);
    QCOMPARE(weight->min(), edges.front());
    QCOMPARE(weight->max(), edges.back());
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
    QTest::newRow("goal of 1 kg, a weight of 1000 kg: a dozen labels at most")
        << QStringList{historyLine(kToday, 1000.0)} << 1.0f << 0.0 << 1001.0;
    QTest::newRow("nothing to plot: no line") << QStringList{} << 62.0f << 0.0 << 0.0;
}

void tst_TrendWindow::goalLine()
{
    QFETCH(QStringList, history);
    QFETCH(float, goal);
    QFETCH(double, low);
    QFETCH(double, high);

    TrendWindow window(historyOf(history), 1.685f, goal, kToday, kJapan);
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
    auto* time = axis<QCategoryAxis>(window, Qt::Horizontal);
    auto* weight = axis<QValueAxis>(window, Qt::Vertical);
    QVERIFY(time && weight);
    // Level, across the whole time span.
    QCOMPARE(line->at(0), QPointF(time->min(), goal));
    QCOMPARE(line->at(1), QPointF(time->max(), goal));
    QCOMPARE(weight->min(), low);
    QCOMPARE(weight->max(), high);
    const double ticks =
        std::floor(high / weight->tickInterval()) - std::ceil(low / weight->tickInterval()) + 1;
    QVERIFY2(ticks <= 12, qPrintable(QString::number(ticks)));

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
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("days");   // the history's span, a line a day up to 60 days, else weekly
    QTest::addColumn<QSize>("size"); // empty: maximised

    for (const QLocale& locale : {kJapan, QLocale::c()}) {
        for (const int days : {10, 60, 400, 1050, 3650}) {
            for (const QSize& size : {QSize(720, 480), QSize(), QSize(1920, 1200)}) {
                QTest::addRow("%s, %d days, %s", qPrintable(locale.name()), days,
                              size.isEmpty()
                                  ? "maximised"
                                  : qPrintable(u"%1x%2"_s.arg(size.width()).arg(size.height())))
                    << locale << days << size;
            }
        }
    }
}

// Every date label is drawn whole, inside the chart, clear of every other text. Which dates get a
// label is fittingDateTicks' (tst_trend).
void tst_TrendWindow::dateLabels()
{
    QFETCH(QLocale, locale);
    QFETCH(int, days);
    QFETCH(QSize, size);

    TrendWindow window(historyOf(dailyHistory(days, days <= 60 ? 1 : 7)), 1.685f, 62.0f, kToday,
                       locale);
    if (size.isEmpty()) {
        window.showMaximized();
    } else {
        window.resize(size);
        window.show();
    }
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents(); // the layout that the ticks placed for the size ask for
    window.chartView()->grab();

    const QStringList labels = axis<QCategoryAxis>(window, Qt::Horizontal)->categoriesLabels();
    QVERIFY2(labels.size() >= 3, qPrintable(labels.join(u' ')));
    QList<QRectF> boxes;
    QStringList texts;
    const QRectF chart = window.chartView()->chart()->sceneBoundingRect();
    for (QGraphicsItem* item : window.chartView()->scene()->items()) {
        auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (!text || !text->isVisible() || text->toPlainText().isEmpty())
            continue;
        texts.append(text->toPlainText());
        boxes.append(text->sceneBoundingRect().adjusted(1, 1, -1, -1));
        QVERIFY2(chart.contains(boxes.back()), qPrintable(texts.back()));
    }
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        for (qsizetype j = i + 1; j < boxes.size(); ++j)
            QVERIFY2(!boxes[i].intersects(boxes[j]), qPrintable(texts[i] + u" / "_s + texts[j]));
    }
    for (const QString& label : labels) // whole, not cut to "..."
        QVERIFY2(texts.contains(label), qPrintable(label + texts.join(u'|')));
}

void tst_TrendWindow::readPoint_data()
{
    QTest::addColumn<QList<int>>("keys"); // 0: the pointer over the middle point
    QTest::addColumn<QString>("reading");

    // With the trend: 68.0, 68.1 (68.0 + 0.1 × 1.0), 68.14.
    const QString first = u"2026/05/09　68.0 kg　BMI 24.0　傾向 68.0 kg"_s;
    const QString middle = u"2026/05/10　69.0 kg　BMI 24.3　傾向 68.1 kg"_s;
    const QString last = u"2026/05/11　68.5 kg　BMI 24.1　傾向 68.1 kg"_s;
    QTest::newRow("Home: the first") << QList<int>{Qt::Key_Home} << first;
    QTest::newRow("Right with none read: the last") << QList<int>{Qt::Key_Right} << last;
    QTest::newRow("Left from the last") << QList<int>{Qt::Key_End, Qt::Key_Left} << middle;
    QTest::newRow("Left stops at the first") << QList<int>{Qt::Key_Home, Qt::Key_Left} << first;
    QTest::newRow("pointer") << QList<int>{0} << middle;
}

void tst_TrendWindow::readPoint()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, reading);

    const QStringList history{historyLine(kToday.addDays(-2), 68.0),
                              historyLine(kToday.addDays(-1), 69.0), historyLine(kToday, 68.5)};
    TrendWindow window(historyOf(history), 1.685f, std::nullopt, kToday, kJapan);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QChartView* view = window.chartView();
    QCOMPARE(QApplication::focusWidget(), view);
    g_events.clear();
    for (const int key : keys) {
        if (key != 0) {
            QTest::keyClick(view, Qt::Key(key));
            continue;
        }
        QChart* chart = view->chart();
        const QPointF at = chart->mapToPosition({double(kToday.toJulianDay() - 1), 69.2});
        QTest::mouseMove(view->viewport(), view->mapFromScene(chart->mapToScene(at)));
    }

    QCOMPARE(window.pointLabel()->text(), reading);
    // A screen reader hears the reading as the focused item's description, on every move.
    QAccessibleInterface* focused = QAccessible::queryAccessibleInterface(view)->focusChild();
    QVERIFY(focused);
    QCOMPARE(focused->text(QAccessible::Description), reading);
#ifdef MORVANE_ACCESSIBILITY_EVENTS
    QCOMPARE(g_events.count(QAccessible::DescriptionChanged), keys.size());
#endif
}

// In a dark palette the chart is dark too: its own background, between its top and the plot.
void tst_TrendWindow::darkPalette()
{
    for (const QColor& background : {QColor(0xef, 0xef, 0xef), QColor(0x2a, 0x2a, 0x2a)}) {
        TrendWindow window(historyOf(dailyHistory(30)), 1.685f, std::nullopt, kToday, kJapan);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, background);
        window.setPalette(palette);
        window.show();
        const QImage image = window.chartView()->grab().toImage();
        const QRectF plot = window.chartView()->chart()->plotArea();
        const QColor sample = image.pixelColor(int(plot.center().x()), int(plot.top() / 2));
        QCOMPARE(sample.lightness() < 128, background.lightness() < 128);
    }
}

void tst_TrendWindow::escapeCloses()
{
    QWidget owner;
    owner.show();
    auto* window =
        new TrendWindow(historyOf(dailyHistory(10)), 1.685f, std::nullopt, kToday, kJapan, &owner);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::keyClick(window->chartView(), Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QVERIFY(owner.isVisible());
}

void tst_TrendWindow::nothingToPlot_data()
{
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<TrendRange>("range");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty history") << QStringList{} << TrendRange::All << u"まだ履歴がありません"_s;
    QTest::newRow("no readable line") << QStringList{u"garbage"_s, u"02/30  68.5Kg  24.1  9.6%"_s}
                                      << TrendRange::All << u"グラフにできる行がありません"_s;
    QTest::newRow("nothing in the last month")
        << QStringList{historyLine(kToday.addDays(-40), 68.5)} << TrendRange::Month
        << u"この期間には記録がありません"_s;
}

void tst_TrendWindow::nothingToPlot()
{
    QFETCH(QStringList, history);
    QFETCH(TrendRange, range);
    QFETCH(QString, message);

    TrendWindow window(historyOf(history), 1.685f, std::nullopt, kToday, kJapan);
    window.setRange(range);
    window.show();
    QVERIFY(window.messageLabel()->isVisible());
    QVERIFY2(window.messageLabel()->text().contains(message),
             qPrintable(window.messageLabel()->text()));
    QVERIFY(!window.chartView()->isVisible());
    QVERIFY(window.chartView()->chart()->series().isEmpty());
    // Ranges to choose from only where there is something to show.
    QCOMPARE(window.rangeButton(range)->isVisible(), range != TrendRange::All);
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
    QTest::newRow("garbage and 02/30")
        << QStringList{a, u"garbage"_s, b, u"02/30  68.5Kg  24.1  9.6%"_s, c} << 3
        << u"読み取れなかった行: 2"_s;
    QTest::newRow("weights of a billion and of 0 kg")
        << QStringList{a, b, u"05/11  1000000000Kg  24.1  9.6%"_s, u"05/11  0.0Kg  0.0  -100.0%"_s}
        << 2 << u"読み取れなかった行: 2"_s;
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

    TrendWindow window(historyOf(history), 1.685f, std::nullopt, kToday, kJapan);
    window.show();
    QCOMPARE(window.skippedLabel()->isVisible(), !label.isEmpty());
    if (!label.isEmpty())
        QCOMPARE(window.skippedLabel()->text(), label);
    QLineSeries* weights = lineNamed(window, u"体重"_s);
    QCOMPARE(weights ? weights->count() : 0, points);
}

QTEST_MAIN(tst_TrendWindow)
#include "tst_trendwindow.moc"
