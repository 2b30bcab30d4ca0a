#include "ui/accessibility.h"

#include "ui/labels.h"
#include "ui/meter.h"
#include "ui/picturecontrols.h"
#include "ui/trendchartview.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QAction>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QTextDocument>

#include <cmath>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// A window of the program's own (a plain QWidget subclass shown as a top-level window). Qt
// exposes such widgets as anonymous client areas; a screen reader announces a window by its
// role and title.
//
// Qt leaves popup menus out of the accessibility tree: they are neither children of the
// application nor of the widget they belong to, so assistive technology meets them only through
// focus events. A window here lists the menus it has open after its own children (a menu names
// its parent widget as its parent already).
class WindowAccessible final : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Window)
    {}
    QAccessible::Role role() const override
    {
        return widget()->isWindow() ? QAccessible::Window : QAccessible::Client;
    }

    int childCount() const override
    {
        return QAccessibleWidget::childCount() + int(openMenus().size());
    }

    QAccessibleInterface* child(int index) const override
    {
        const int own = QAccessibleWidget::childCount();
        if (index < own)
            return QAccessibleWidget::child(index);
        const QList<QMenu*> menus = openMenus();
        return index - own < menus.size()
                   ? QAccessible::queryAccessibleInterface(menus[index - own])
                   : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const qsizetype menu = child ? openMenus().indexOf(child->object()) : -1;
        return menu >= 0 ? QAccessibleWidget::childCount() + int(menu)
                         : QAccessibleWidget::indexOfChild(child);
    }

private:
    QList<QMenu*> openMenus() const
    {
        QList<QMenu*> menus = widget()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
        menus.removeIf([](const QMenu* menu) { return !menu->isVisible(); });
        return menus;
    }
};

// An item of a popup menu. Qt's own item runs its action at once while the request from
// assistive technology waits for the answer, and leaves the menu open: an item that opens a
// dialog would hold the screen reader until the dialog closes, under a menu that still takes
// the keys. Here the item is chosen as a click chooses it: the menu closes, then the action
// runs, after the request has been answered.
class MenuItemAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit MenuItemAccessible(QAction* action)
        : m_action(action)
    {}

    bool isValid() const override { return m_action && menu(); }
    QObject* object() const override { return m_action; }
    QWindow* window() const override
    {
        const QMenu* owner = menu();
        return owner ? owner->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(menu());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override
    {
        if (!m_action)
            return {};
        switch (t) {
        case QAccessible::Name:
            return QString(m_action->text()).remove(u'&');
        case QAccessible::Accelerator:
            return m_action->shortcut().toString(QKeySequence::NativeText);
        default:
            return {};
        }
    }

    QRect rect() const override
    {
        const QMenu* owner = menu();
        if (!owner)
            return {};
        const QRect r = owner->actionGeometry(m_action);
        return QRect(owner->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::Role role() const override
    {
        return m_action && m_action->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        const QMenu* owner = menu();
        if (!owner || !m_action) {
            s.invalid = true;
            return s;
        }
        s.invisible = !owner->isVisible() || !m_action->isVisible();
        s.offscreen = s.invisible;
        s.disabled = !m_action->isEnabled();
        if (!m_action->isSeparator() && !s.disabled) {
            s.focusable = true;
            s.focused = owner->activeAction() == m_action;
        }
        s.checkable = m_action->isCheckable();
        s.checked = m_action->isChecked();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override
    {
        return m_action && menu() && !m_action->isSeparator() && m_action->isEnabled()
                   ? QStringList{pressAction()}
                   : QStringList{};
    }

    void doAction(const QString& actionName) override
    {
        if (!actionNames().contains(actionName))
            return;
        QMetaObject::invokeMethod(
            menu(),
            [owner = QPointer<QMenu>(menu()), action = m_action] {
                if (!owner || !action || !owner->isVisible() || !action->isEnabled())
                    return;
                owner->hide();
                action->trigger();
            },
            Qt::QueuedConnection);
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    // The open menu that shows the action (an action may be in several widgets at once).
    QMenu* menu() const
    {
        if (!m_action)
            return nullptr;
        QMenu* found = nullptr;
        for (QObject* object : m_action->associatedObjects()) {
            if (auto* menu = qobject_cast<QMenu*>(object)) {
                if (menu->isVisible())
                    return menu;
                found = menu;
            }
        }
        return found;
    }

    QPointer<QAction> m_action;
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

// A picture button. Qt's own interface for a tool button clicks it while the request from
// assistive technology waits for the answer: 体重 and クリア open a modal dialog, which would hold
// the screen reader until the dialog closes. Here the request is answered first and the button
// clicked right after, as the history menu's items are chosen.
class PictureButtonAccessible final : public QAccessibleWidget {
public:
    explicit PictureButtonAccessible(PictureButton* button)
        : QAccessibleWidget(button, QAccessible::Button)
    {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return button()->text();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = button()->isDown();
        return s;
    }

    QStringList actionNames() const override
    {
        return widget()->isEnabled() ? QStringList{pressAction()} : QStringList();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction() && widget()->isEnabled())
            QMetaObject::invokeMethod(button(), &QAbstractButton::click, Qt::QueuedConnection);
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    PictureButton* button() const { return static_cast<PictureButton*>(widget()); }
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (auto* action = qobject_cast<QAction*>(object);
        action && className == QLatin1StringView(QAction::staticMetaObject.className()))
        return new MenuItemAccessible(action);
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    const QMetaObject* meta = object->metaObject();
    // Only the program's own windows: Qt's classes that derive from QWidget directly and are
    // windows, such as QMenu, have accessible interfaces of their own, and a window interface in
    // their place would hide their items from assistive technology.
    if (className == QLatin1StringView(meta->className()) && className.startsWith("morvane::"_L1) &&
        meta->superClass() == &QWidget::staticMetaObject && widget->isWindow())
        return new WindowAccessible(widget);
    if (auto* bar = qobject_cast<MeterBar*>(object);
        bar && className == QLatin1StringView(MeterBar::staticMetaObject.className()))
        return new MeterAccessible(bar);
    if (auto* button = qobject_cast<PictureButton*>(object);
        button && className == QLatin1StringView(PictureButton::staticMetaObject.className()))
        return new PictureButtonAccessible(button);
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
