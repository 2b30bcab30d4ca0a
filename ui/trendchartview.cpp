#include "ui/trendchartview.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

namespace morvane {
namespace {

// The point read: a child of the chart without a widget of its own, which screen readers are
// told has the focus while the chart has it.
class ReadingAccessible final : public QAccessibleInterface {
public:
    explicit ReadingAccessible(TrendChartView* view)
        : m_view(view)
    {}

    bool isValid() const override { return m_view && !m_view->reading().isEmpty(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_view.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        if (!m_view || (t != QAccessible::Name && t != QAccessible::Description))
            return {};
        return m_view->reading();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        if (!m_view)
            return {};
        const QRect place = m_view->readingRect();
        return {m_view->mapToGlobal(place.topLeft()), place.size()};
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.focusable = true;
        s.focused = m_view && m_view->hasFocus();
        s.selectable = true;
        s.selected = true;
        return s;
    }

private:
    QPointer<TrendChartView> m_view;
};

// The chart: its name and description are the widget's; its one child is the point read, if
// any (the view's viewport and scroll bars have nothing to tell).
class ChartAccessible final : public QAccessibleWidget {
public:
    explicit ChartAccessible(TrendChartView* view)
        : QAccessibleWidget(view, QAccessible::Chart)
        , m_reading(new ReadingAccessible(view))
    {
        QAccessible::registerAccessibleInterface(m_reading);
    }
    ~ChartAccessible() override
    {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(m_reading));
    }

    int childCount() const override { return view()->reading().isEmpty() ? 0 : 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 && childCount() == 1 ? m_reading : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child == m_reading && childCount() == 1 ? 0 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        return childCount() == 1 && m_reading->rect().contains(x, y) ? m_reading : nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        return view()->hasFocus() && childCount() == 1 ? m_reading : nullptr;
    }

private:
    TrendChartView* view() const { return static_cast<TrendChartView*>(widget()); }

    QAccessibleInterface* m_reading;
};

} // namespace

TrendChartView::TrendChartView(QChart* chart, QWidget* parent)
    : QChartView(chart, parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

TrendChartView::~TrendChartView() = default;

void TrendChartView::setReading(const QString& text, const QRect& place)
{
    const bool first = m_reading.isEmpty();
    m_reading = text;
    m_readingRect = place;
    if (text.isEmpty())
        return;
    // The child appears with the first reading: it takes over the focus from the chart.
    if (first && hasFocus())
        announce(QAccessible::Focus);
    announce(QAccessible::NameChanged);
    announce(QAccessible::DescriptionChanged);
}

void TrendChartView::announce(int event)
{
    QAccessibleEvent e(this, QAccessible::Event(event));
    e.setChild(0);
    QAccessible::updateAccessibility(&e);
}

void TrendChartView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        emit stepKey(event->key());
        event->accept();
        return;
    default:
        QChartView::keyPressEvent(event);
    }
}

void TrendChartView::mouseMoveEvent(QMouseEvent* event)
{
    emit pointerMoved(mapToScene(event->position().toPoint()));
    QChartView::mouseMoveEvent(event);
}

void TrendChartView::focusInEvent(QFocusEvent* event)
{
    QChartView::focusInEvent(event);
    if (!m_reading.isEmpty())
        announce(QAccessible::Focus);
}

QAccessibleInterface* trendChartAccessible(TrendChartView* view)
{
    return new ChartAccessible(view);
}

} // namespace morvane
