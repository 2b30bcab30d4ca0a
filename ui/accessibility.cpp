#include "ui/accessibility.h"

#include "ui/controls.h"
#include "ui/trendchartview.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QLocale>
#include <QTextDocument>

#include <cmath>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// A window of the program's own (a plain QWidget subclass shown as a top-level window). Qt
// exposes such widgets as anonymous client areas; a screen reader announces a window by its
// role and title.
class WindowAccessible final : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Window)
    {}
    QAccessible::Role role() const override
    {
        return widget()->isWindow() ? QAccessible::Window : QAccessible::Client;
    }
};

// The meter: a scroll bar whose positions are tenths of a BMI. Assistive technology reads and
// sets the BMI itself.
class MeterAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit MeterAccessible(MeterBar* bar)
        : QAccessibleWidget(bar, QAccessible::ScrollBar)
    {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QLocale().toString(bar()->unitValue(bar()->value()), 'f', 1);
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return bar()->unitValue(bar()->value()); }
    QVariant minimumValue() const override { return bar()->unitValue(bar()->minimum()); }
    QVariant maximumValue() const override { return bar()->unitValue(bar()->maximum()); }
    QVariant minimumStepSize() const override { return bar()->unitValue(bar()->singleStep()); }

    void setCurrentValue(const QVariant& value) override
    {
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok || !std::isfinite(v) || !widget()->isEnabled())
            return;
        const double position = std::clamp(std::round(v * bar()->positionsPerUnit()),
                                           double(bar()->minimum()), double(bar()->maximum()));
        // As an arrow key does: the slider moves, the action is announced, and the value
        // follows in one change notification.
        bar()->setSliderPosition(int(position));
    }

private:
    MeterBar* bar() const { return static_cast<MeterBar*>(widget()); }
};

// A label that can be pressed; otherwise what Qt shows for a label: its text as its name.
class ActionLabelAccessible final : public QAccessibleWidget {
public:
    explicit ActionLabelAccessible(ActionLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        return widget()->isEnabled() ? QStringList{pressAction()} : QStringList();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName != pressAction() || !widget()->isEnabled())
            return;
        // The action may open a modal dialog: the request is answered first.
        QMetaObject::invokeMethod(static_cast<ActionLabel*>(widget()), &ActionLabel::activated,
                                  Qt::QueuedConnection);
    }

    QStringList keyBindingsForAction(const QString& actionName) const override
    {
        const QKeySequence key = static_cast<const ActionLabel*>(widget())->shortcut();
        if (actionName != pressAction() || key.isEmpty())
            return {};
        return {key.toString(QKeySequence::NativeText)};
    }
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    const QMetaObject* meta = object->metaObject();
    if (className == QLatin1StringView(meta->className()) &&
        meta->superClass() == &QWidget::staticMetaObject && widget->isWindow())
        return new WindowAccessible(widget);
    if (auto* bar = qobject_cast<MeterBar*>(object);
        bar && className == QLatin1StringView(MeterBar::staticMetaObject.className()))
        return new MeterAccessible(bar);
    if (auto* label = qobject_cast<ActionLabel*>(object);
        label && className == QLatin1StringView(ActionLabel::staticMetaObject.className()))
        return new ActionLabelAccessible(label);
    if (auto* chart = qobject_cast<TrendChartView*>(object);
        chart && className == QLatin1StringView(TrendChartView::staticMetaObject.className()))
        return trendChartAccessible(chart);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace morvane
