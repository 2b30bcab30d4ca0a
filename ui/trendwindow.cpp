#include "ui/trendwindow.h"

#include "measure/bands.h"
#include "measure/bandweights.h"
#include "measure/goal.h"
#include "measure/trend.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QDate>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QGraphicsSimpleTextItem>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QLocale>
#include <QShortcut>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// Above this many points the markers would merge into a thick line and only slow the drawing.
constexpr qsizetype kMaxMarkedPoints = 200;

// Band colours behind the weights: light enough that the lines stay readable on every band.
constexpr int kBandAlpha = 70;

struct Span {
    double low = 0.0;
    double high = 0.0;
};

// A date's place on the time axis is its noon: a clock change (an hour either way) then never
// moves a tick into the day before or after.
qreal timeOf(const QDate& date)
{
    return static_cast<qreal>(QDateTime(date, QTime(12, 0)).toMSecsSinceEpoch());
}

// The dates the chart spans, and the number of steps between the time axis's ticks. The axis
// puts its ticks at equal steps across the span and labels each with the date it falls on, so
// every step is a whole number of days: one tick a day for up to a week, then 3 to 7 steps where
// the span divides evenly, and otherwise four steps over a span stretched by up to three days.
// A single date gets a day either side, so that one entry still has a time axis with a width.
struct DateSpan {
    Span time;
    int steps = 1;
};

DateSpan dateSpan(const QList<TrendEntry>& entries)
{
    QDate first = entries.front().date;
    QDate last = entries.back().date;
    if (first == last) {
        first = first.addDays(-1);
        last = last.addDays(1);
    }
    const qint64 days = first.daysTo(last);
    int steps = 0;
    if (days <= 7) {
        steps = int(days);
    } else {
        for (const int s : {4, 5, 6, 7, 3}) {
            if (days % s == 0) {
                steps = s;
                break;
            }
        }
        if (steps == 0) {
            steps = 4;
            last = last.addDays(4 - days % 4);
        }
    }
    return {{timeOf(first), timeOf(last)}, steps};
}

// The weights the chart spans: every weight and average with a margin, at whole kilograms.
Span weightSpan(const QList<TrendEntry>& entries, const QList<double>& averages)
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const TrendEntry& entry : entries) {
        low = std::min(low, entry.weight);
        high = std::max(high, entry.weight);
    }
    for (const double average : averages) {
        low = std::min(low, average);
        high = std::max(high, average);
    }
    const double margin = std::max(1.0, (high - low) * 0.05);
    return {std::floor(low - margin), std::ceil(high + margin)};
}

// The bands as areas over the whole time span, cut to the weights on show. The judgement bands
// themselves are open at both ends (the meter only stops at 15.4 and 31.6), so the outer bands
// reach to the chart's edges.
void addBands(QChart* chart, float height, const Span& time, const Span& weight)
{
    for (const Band& band : bands()) {
        WeightRange range = bandWeightRange(band.number, height);
        if (band.number == 1)
            range.lower = -std::numeric_limits<double>::infinity();
        if (band.number == 6)
            range.upper = std::numeric_limits<double>::infinity();
        const double low = std::max(range.lower, weight.low);
        const double high = std::min(range.upper, weight.high);
        if (!(high > low))
            continue;

        auto* upper = new QLineSeries;
        upper->append(time.low, high);
        upper->append(time.high, high);
        auto* lower = new QLineSeries;
        lower->append(time.low, low);
        lower->append(time.high, low);
        auto* area = new QAreaSeries(upper, lower);
        // The area draws its edges but does not own them.
        upper->setParent(area);
        lower->setParent(area);
        area->setName(band.caption);
        QColor colour = QColor::fromRgba(band.background);
        colour.setAlpha(kBandAlpha);
        area->setColor(colour);
        area->setBorderColor(Qt::transparent);
        area->setPen(Qt::NoPen);
        chart->addSeries(area);
    }
}

void setWeightRange(QValueAxis* axis, const Span& weight)
{
    axis->setRange(weight.low, weight.high);
    // Ticks on whole kilograms (or 2, 5, 10 kg), whatever the range, so the scale reads easily.
    const double span = weight.high - weight.low;
    const double step = span <= 8 ? 1 : span <= 20 ? 2 : span <= 50 ? 5 : 10;
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(std::ceil(weight.low / step) * step);
    axis->setTickInterval(step);
}

QLineSeries* lineSeries(const QString& name, const QList<QPointF>& points)
{
    auto* series = new QLineSeries;
    series->setName(name);
    series->replace(points); // one call: appending point by point redraws each time
    return series;
}

// The goal as a level line across the whole time span, with its label riding on it at the right
// end of the plot, wherever the chart is resized. The chart's axes must be in place.
QLineSeries* addGoal(QChart* chart, float kilograms, const Span& time, const QLocale& locale)
{
    const double goal = kilograms;
    const QString label = goalText(kilograms, std::nullopt, locale);
    QLineSeries* series = lineSeries(label, {{time.low, goal}, {time.high, goal}});
    QPen pen(QColor(0x00, 0x7a, 0x3d));
    pen.setWidthF(2.0);
    pen.setStyle(Qt::DashDotLine);
    series->setPen(pen);
    chart->addSeries(series);
    for (QAbstractAxis* axis : chart->axes())
        series->attachAxis(axis);

    auto* text = new QGraphicsSimpleTextItem(label, chart);
    text->setBrush(pen.color());
    auto place = [chart, text, goal, series] {
        const QRectF plot = chart->plotArea();
        const QPointF at = chart->mapToPosition(QPointF(0, goal), series);
        const QRectF box = text->boundingRect();
        text->setPos(plot.right() - box.width() - 4, at.y() - box.height() - 1);
    };
    QObject::connect(chart, &QChart::plotAreaChanged, chart, place);
    place();
    return series;
}

QChart* buildChart(const Trend& trend, std::optional<float> height, std::optional<float> goal,
                   const QLocale& locale, QLineSeries** goalSeries)
{
    const QList<double> averages = movingAverage(trend.entries);
    const DateSpan dates = dateSpan(trend.entries);
    const Span& time = dates.time;
    Span weight = weightSpan(trend.entries, averages);
    // A goal beyond the weights widens the scale to it, with the same margin.
    if (goal) {
        weight.low = std::min(weight.low, std::floor(*goal - 1.0));
        weight.high = std::max(weight.high, std::ceil(*goal + 1.0));
    }

    auto* chart = new QChart;
    chart->setLocale(locale);
    chart->setLocalizeNumbers(true);
    chart->legend()->setAlignment(Qt::AlignBottom);

    if (height)
        addBands(chart, *height, time, weight);

    // A long history is drawn from a few thousand of its points, chosen so that no peak, dip or
    // band crossing is lost: Qt Charts would otherwise lay out and paint millions of them.
    QList<double> weightValues;
    weightValues.reserve(trend.entries.size());
    for (const TrendEntry& entry : trend.entries)
        weightValues.append(entry.weight);
    auto points = [&](const QList<double>& values) {
        const QList<qsizetype> kept = chartPoints(values);
        QList<QPointF> result;
        result.reserve(kept.size());
        for (const qsizetype i : kept)
            result.append({timeOf(trend.entries[i].date), values[i]});
        return result;
    };
    const QList<QPointF> weights = points(weightValues);
    const QList<QPointF> smoothed = points(averages);
    QLineSeries* weightSeries = lineSeries(TrendWindow::tr("体重"), weights);
    weightSeries->setPointsVisible(weights.size() <= kMaxMarkedPoints);
    weightSeries->setColor(QColor(0x1d, 0x3f, 0x8a));
    QLineSeries* averageSeries =
        lineSeries(TrendWindow::tr("移動平均（直近%1回）").arg(kMovingAverageEntries), smoothed);
    QPen dashed(QColor(0x20, 0x20, 0x20));
    dashed.setWidthF(2.0);
    dashed.setStyle(Qt::DashLine);
    averageSeries->setPen(dashed);
    chart->addSeries(weightSeries);
    chart->addSeries(averageSeries);

    auto* timeAxis = new QDateTimeAxis;
    timeAxis->setTitleText(TrendWindow::tr("日付"));
    timeAxis->setFormat(locale.dateFormat(QLocale::ShortFormat));
    timeAxis->setTickCount(dates.steps + 1);
    timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(time.low)),
                       QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(time.high)));
    auto* weightAxis = new QValueAxis;
    weightAxis->setTitleText(TrendWindow::tr("体重 (kg)"));
    setWeightRange(weightAxis, weight);
    weightAxis->setLabelFormat(u"%.0f"_s);
    chart->addAxis(timeAxis, Qt::AlignBottom);
    chart->addAxis(weightAxis, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(timeAxis);
        series->attachAxis(weightAxis);
    }
    if (goal)
        *goalSeries = addGoal(chart, *goal, time, locale);
    return chart;
}

} // namespace

TrendWindow::TrendWindow(const QStringList& historyLines, std::optional<float> height,
                         const QDate& today, const QLocale& locale, QWidget* parent)
    : TrendWindow(historyLines, height, std::nullopt, today, locale, parent)
{}

TrendWindow::TrendWindow(const QStringList& historyLines, std::optional<float> height,
                         std::optional<float> goal, const QDate& today, const QLocale& locale,
                         QWidget* parent)
    : TrendWindow(readTrend(historyLines, today), historyLines.isEmpty(), height, goal, locale,
                  parent)
{}

TrendWindow::TrendWindow(const History& history, std::optional<float> height,
                         std::optional<float> goal, const QDate& today, const QLocale& locale,
                         QWidget* parent)
    : TrendWindow(readTrend(history, today), history.isEmpty(), height, goal, locale, parent)
{}

TrendWindow::TrendWindow(const Trend& trend, bool historyIsEmpty, std::optional<float> height,
                         std::optional<float> goal, const QLocale& locale, QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(tr("体重の推移"));
    setObjectName(u"frmTrend"_s);
    // Like the help windows, a trend window left open must not keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAccessibleDescription(tr("記録した体重の推移のグラフ。Esc キーで閉じます"));
    resize(720, 480);
    // Escape closes the window, as it closes a dialog.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);

    m_message = new QLabel(this);
    m_message->setObjectName(u"lblMessage"_s);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);

    // The view owns its chart from the start; a chart swapped in later would leave the first
    // one to be deleted by hand.
    m_chartView = new QChartView(
        trend.entries.isEmpty() ? new QChart : buildChart(trend, height, goal, locale, &m_goal),
        this);
    m_chartView->setObjectName(u"chartView"_s);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setAccessibleName(tr("体重の推移のグラフ"));
    QString description =
        tr("記録した体重と移動平均を日付順に示すグラフ。背景の色は身長から求めた判定の区分");
    if (m_goal)
        description += tr("。横の一点鎖線は%1").arg(m_goal->name());
    m_chartView->setAccessibleDescription(description);

    m_note = new QLabel(this);
    m_note->setObjectName(u"lblNote"_s);
    m_note->setText(tr("身長が登録されていないため、判定の区分は表示していません"));
    m_skipped = new QLabel(this);
    m_skipped->setObjectName(u"lblSkipped"_s);
    m_skipped->setText(tr("読み取れなかった行: %1").arg(locale.toString(trend.skippedLines)));
    m_skipped->setAccessibleDescription(tr("履歴のうち、グラフにできなかった行の数"));

    if (trend.entries.isEmpty()) {
        m_message->setText(
            historyIsEmpty
                ? tr("まだ履歴がありません。体重を記録すると、ここに推移がグラフで表示されます。")
                : tr("履歴に、グラフにできる行がありません。"));
        m_chartView->hide();
    } else {
        m_message->hide();
    }
    m_note->setVisible(!height && !trend.entries.isEmpty());
    m_skipped->setVisible(trend.skippedLines > 0);

    auto* status = new QHBoxLayout;
    status->addWidget(m_note);
    status->addStretch();
    status->addWidget(m_skipped);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message, 1);
    layout->addWidget(m_chartView, 1);
    layout->addLayout(status);
}

TrendWindow::~TrendWindow() = default;

} // namespace morvane
