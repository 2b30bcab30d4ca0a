#include "ui/trendwindow.h"

#include "ui/trendchart.h"
#include "ui/trendchartview.h"

#include <QButtonGroup>
#include <QCategoryAxis>
#include <QChart>
#include <QCursor>
#include <QEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QShortcut>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// The least room between two date labels, and between a label and the chart's edge, in pixels.
constexpr qreal kLabelGap = 8.0;
// What Qt Charts keeps free on either side of an axis label: a label wider than its share of
// the axis less this is cut to "...".
constexpr qreal kLabelPadding = 5.0;

// The range chosen last while the program runs: the next trend window opens with it.
TrendRange g_lastRange = TrendRange::All;

} // namespace

TrendWindow::TrendWindow(const History& history, std::optional<float> height,
                         std::optional<float> goal, const QDate& today, const QLocale& locale,
                         QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_series(trendSeries(readTrend(history, today)))
    , m_height(height)
    , m_goalWeight(goal)
    , m_today(today)
    , m_locale(locale)
    , m_range(g_lastRange)
    , m_historyIsEmpty(history.isEmpty())
{
    setWindowTitle(tr("体重の推移"));
    setObjectName(u"frmTrend"_s);
    // Like the help windows, a trend window left open must not keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAccessibleDescription(
        tr("記録した体重の推移のグラフ。上のボタンで期間を選び、グラフでは左右の矢印キーで記録を"
           "一つずつ読みます。Esc キーで閉じます"));
    resize(720, 480);
    // Escape closes the window, as it closes a dialog.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);

    QHBoxLayout* ranges = createRangeRow();
    m_summary = new QLabel(this);
    m_summary->setObjectName(u"lblSummary"_s);
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_message = new QLabel(this);
    m_message->setObjectName(u"lblMessage"_s);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);

    // The view owns its chart; each range gets a chart of its own (showRange).
    m_chartView = new TrendChartView(new QChart, this);
    m_chartView->setObjectName(u"chartView"_s);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setAccessibleName(tr("体重の推移のグラフ"));
    connect(m_chartView, &TrendChartView::pointerMoved, this, &TrendWindow::readEntryAt);
    connect(m_chartView, &TrendChartView::stepKey, this, &TrendWindow::stepTo);

    QHBoxLayout* status = createStatusRow();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(ranges);
    layout->addWidget(m_summary);
    layout->addWidget(m_message, 1);
    layout->addWidget(m_chartView, 1);
    layout->addLayout(status);

    m_ranges->button(int(m_range))->setChecked(true);
    showRange();
    m_chartView->setFocus();
}

TrendWindow::~TrendWindow() = default;

// The range buttons, and the point read at the other end.
QHBoxLayout* TrendWindow::createRangeRow()
{
    auto* ranges = new QHBoxLayout;
    auto* caption = new QLabel(tr("期間:"), this);
    ranges->addWidget(caption);
    m_ranges = new QButtonGroup(this);
    struct Choice {
        TrendRange range;
        const char* name;
        const char* text;
        const char* description;
    };
    static constexpr Choice kChoices[] = {
        {TrendRange::Month, "cmdMonth", QT_TR_NOOP("1か月"), QT_TR_NOOP("直近1か月の記録を表示")},
        {TrendRange::ThreeMonths, "cmdThreeMonths", QT_TR_NOOP("3か月"),
         QT_TR_NOOP("直近3か月の記録を表示")},
        {TrendRange::Year, "cmdYear", QT_TR_NOOP("1年"), QT_TR_NOOP("直近1年の記録を表示")},
        {TrendRange::All, "cmdAll", QT_TR_NOOP("すべて"), QT_TR_NOOP("すべての記録を表示")},
    };
    for (const Choice& choice : kChoices) {
        auto* button = new QPushButton(tr(choice.text), this);
        button->setObjectName(QLatin1StringView(choice.name));
        button->setCheckable(true);
        button->setAccessibleDescription(tr(choice.description));
        m_ranges->addButton(button, int(choice.range));
        ranges->addWidget(button);
        // With nothing to draw in any range, there is nothing to choose either.
        button->setVisible(!m_series.entries.isEmpty());
    }
    caption->setBuddy(m_ranges->buttons().front());
    caption->setVisible(!m_series.entries.isEmpty());
    // Toggled, not clicked: a screen reader's Toggle action checks the button without a click.
    connect(m_ranges, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            setRange(TrendRange(id));
    });
    m_point = new QLabel(this);
    m_point->setObjectName(u"lblPoint"_s);
    ranges->addStretch();
    ranges->addWidget(m_point);
    return ranges;
}

// Why bands or lines are missing, if they are.
QHBoxLayout* TrendWindow::createStatusRow()
{
    auto* note = new QLabel(this);
    note->setObjectName(u"lblNote"_s);
    note->setText(tr("身長が登録されていないため、判定の区分は表示していません"));
    note->setVisible(!m_height && !m_series.entries.isEmpty());
    m_skipped = new QLabel(this);
    m_skipped->setObjectName(u"lblSkipped"_s);
    m_skipped->setText(tr("読み取れなかった行: %1").arg(m_locale.toString(m_series.skippedLines)));
    m_skipped->setAccessibleDescription(tr("履歴のうち、グラフにできなかった行の数"));
    m_skipped->setVisible(m_series.skippedLines > 0);

    auto* status = new QHBoxLayout;
    status->addWidget(note);
    status->addStretch();
    status->addWidget(m_skipped);
    return status;
}

QChartView* TrendWindow::chartView() const
{
    return m_chartView;
}

QAbstractButton* TrendWindow::rangeButton(TrendRange range) const
{
    return m_ranges->button(int(range));
}

void TrendWindow::setRange(TrendRange range)
{
    g_lastRange = range;
    m_ranges->button(int(range))->setChecked(true);
    if (range == m_range)
        return;
    m_range = range;
    showRange();
}

void TrendWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_chartView &&
        m_chartView->chart()->theme() != trendChartTheme(palette()))
        showRange();
}

// Builds the chart, the summary and what the window says for the range chosen. Nothing here
// walks the whole history except the scale's and the summary's pass over the entries shown and
// the choice of the points to draw, so that a new range shows at once on millions of entries.
void TrendWindow::showRange()
{
    m_slice = trendSlice(m_series, m_range, m_today);
    m_read = -1;
    m_point->clear();
    m_chartView->setReading({}, {});

    const TrendChartParts parts =
        buildTrendChart(m_series, m_slice, m_height, m_goalWeight, m_locale, palette());
    // The old chart goes only once nothing points into it and it can no longer call back.
    QChart* old = m_chartView->chart();
    if (old)
        old->disconnect(this);
    m_chartView->setChart(parts.chart);
    m_weights = parts.weights;
    m_goal = parts.goal;
    m_marker = parts.marker;
    m_timeAxis = parts.time;
    m_ticksPlacedFor = {};
    delete old;
    connect(parts.chart, &QChart::plotAreaChanged, this, &TrendWindow::placeDateTicks);
    placeDateTicks();

    // The range summed up, then where it is heading at its newest weighing.
    QString summary = trendSummary(m_series, m_slice, m_locale);
    if (const QString outlook = trendOutlook(m_series, m_slice, m_today, m_goalWeight, m_locale);
        !outlook.isEmpty())
        summary += u'\n' + outlook;
    m_summary->setText(summary);
    QString description =
        summary + u'。' +
        tr("記録した体重と、その傾向（1日ごとに体重へ1割ずつ近づく平均）を日付順に示すグラフ。"
           "背景の色は身長から求めた判定の区分");
    if (m_goal)
        description += tr("。横の一点鎖線は%1").arg(m_goal->name());
    m_chartView->setAccessibleDescription(description);

    if (m_series.entries.isEmpty()) {
        m_message->setText(
            m_historyIsEmpty
                ? tr("まだ履歴がありません。体重を記録すると、ここに推移がグラフで表示されます。")
                : tr("履歴に、グラフにできる行がありません。"));
    } else {
        m_message->setText(tr("この期間には記録がありません。ほかの期間を選んでください。"));
    }
    m_message->setVisible(m_slice.isEmpty());
    m_summary->setVisible(!m_slice.isEmpty());
    m_chartView->setVisible(!m_slice.isEmpty());
}

// The time axis's ticks for the plot's width, as fittingDateTicks() fits them into the chart in
// the labels' font. Run again whenever the plot changes its size.
void TrendWindow::placeDateTicks()
{
    QChart* chart = m_chartView->chart();
    const QRectF plot = chart->plotArea();
    if (!m_timeAxis || plot.width() <= 0 || plot == m_ticksPlacedFor)
        return;
    m_ticksPlacedFor = plot;

    // Qt Charts gives each label an equal share of the axis, which spans the chart inside its
    // margins, and cuts a label wider than that.
    const QMarginsF margins = chart->margins();
    const qreal width = chart->size().width();
    const DateAxisRoom room{.plotLeft = plot.left(),
                            .plotWidth = plot.width(),
                            .axisWidth = width - margins.left() - margins.right(),
                            .padding = kLabelPadding,
                            .right = width - kLabelGap,
                            .gap = kLabelGap};
    const QFontMetricsF metrics(m_timeAxis->labelsFont());
    const QList<DateTick> ticks = fittingDateTicks(
        m_slice.first, m_slice.last, room,
        [&metrics](const QString& text) { return metrics.horizontalAdvance(text); }, m_locale);

    for (const QString& label : m_timeAxis->categoriesLabels())
        m_timeAxis->remove(label);
    for (const DateTick& tick : ticks)
        m_timeAxis->append(tick.label, chartDay(tick.date));
}

void TrendWindow::readEntryAt(const QPointF& scenePosition)
{
    if (!m_weights)
        return;
    QChart* chart = m_chartView->chart();
    const QPointF position = chart->mapFromScene(scenePosition);
    if (!chart->plotArea().contains(position))
        return;
    const QPointF value = chart->mapToValue(position, m_weights);
    const qsizetype entry = nearestEntry(m_series, m_slice, value.x(), value.y());
    if (entry >= 0 && entry != m_read)
        read(entry, true);
}

void TrendWindow::stepTo(int key)
{
    if (m_slice.isEmpty())
        return;
    const qsizetype last = m_slice.end - 1;
    qsizetype entry = m_read < 0 ? last : m_read;
    if (key == Qt::Key_Home)
        entry = m_slice.begin;
    else if (key == Qt::Key_End)
        entry = last;
    else if (m_read >= 0 && key == Qt::Key_Left)
        entry = std::max(m_slice.begin, m_read - 1);
    else if (m_read >= 0 && key == Qt::Key_Right)
        entry = std::min(last, m_read + 1);
    read(entry, false);
}

// Shows the entry as read: a ring on its point, its reading beside the range buttons (and in a
// tooltip at the pointer, when pointed at), and to assistive technology as the chart's focused
// child.
void TrendWindow::read(qsizetype entry, bool pointer)
{
    m_read = entry;
    const TrendEntry& e = m_series.entries[entry];
    const QPointF value(chartDay(e.date), e.weight);
    m_marker->replace(QList<QPointF>{value});
    const QString text = pointText(m_series, entry, m_height, m_locale);
    m_point->setText(text);
    const QPoint at = m_chartView->mapFromScene(
        m_chartView->chart()->mapToScene(m_chartView->chart()->mapToPosition(value, m_weights)));
    m_chartView->setReading(text, QRect(at - QPoint(6, 6), QSize(13, 13)));
    if (pointer)
        QToolTip::showText(QCursor::pos(), text, m_chartView);
    else
        QToolTip::hideText();
}

} // namespace morvane
