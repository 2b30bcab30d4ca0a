#pragma once

// The trend window's chart view, which lets the user read a point: it reports the pointer over
// the chart and the keys that move between points, and shows the point read (its "reading") to
// assistive technology as a child of the chart that has the focus while the chart has it.

#include <QChartView>

class QAccessibleInterface;

namespace morvane {

class TrendChartView : public QChartView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrendChartView)

public:
    // The view owns the chart.
    explicit TrendChartView(QChart* chart, QWidget* parent = nullptr);
    ~TrendChartView() override;

    // The text of the point read, and its place in the view's coordinates; an empty text for
    // none. Each new reading is announced to assistive technology as a change of the focused
    // child's name and description.
    QString reading() const { return m_reading; }
    QRect readingRect() const { return m_readingRect; }
    void setReading(const QString& text, const QRect& place);

signals:
    // The pointer moved over the chart, in the chart's scene coordinates.
    void pointerMoved(const QPointF& scenePosition);
    // Left, Right, Home or End was pressed.
    void stepKey(int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void announce(int event);

    QString m_reading;
    QRect m_readingRect;
};

// The accessible interface of a TrendChartView, for the program's accessibility factory.
QAccessibleInterface* trendChartAccessible(TrendChartView* view);

} // namespace morvane
