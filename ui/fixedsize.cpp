#include "ui/fixedsize.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// A window that is held draws nothing until the desktop gives it a state it can fill, or until
// this time has passed (a desktop that never answers must not leave it blank).
constexpr int kHoldMs = 1000;
// How often a window in full screen asks again for the normal state: the request counts only
// once the compositor has seen a frame drawn in full screen.
constexpr int kRetryMs = 100;
constexpr int kRetries = 20;
constexpr const char* kHeld = "morvane_fixedSizeHeld";

QWidget* widgetOf(const QWindow* window)
{
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    const auto found = std::find_if(windows.begin(), windows.end(),
                                    [window](QWidget* w) { return w->windowHandle() == window; });
    return found != windows.end() ? *found : nullptr;
}

void hold(QWidget* widget)
{
    if (widget->property(kHeld).toBool())
        return;
    widget->setProperty(kHeld, true);
    widget->setUpdatesEnabled(false);
    QTimer::singleShot(kHoldMs, widget, [widget] {
        if (widget->property(kHeld).toBool()) {
            widget->setProperty(kHeld, false);
            widget->setUpdatesEnabled(true);
        }
    });
}

// Draws again, at once: the compositor learns that the window is in the state it granted.
void release(QWidget* widget)
{
    if (!widget->property(kHeld).toBool())
        return;
    widget->setProperty(kHeld, false);
    widget->setUpdatesEnabled(true);
    widget->repaint();
}

void askForNormal(QPointer<QWindow> window, int retries)
{
    if (!window || !(window->windowStates() & Qt::WindowFullScreen))
        return;
    window->setWindowStates(window->windowStates() & ~Qt::WindowFullScreen);
    if (retries > 0)
        QTimer::singleShot(kRetryMs, window,
                           [window, retries] { askForNormal(window, retries - 1); });
}

class FixedSizeKeeper final : public QObject {
public:
    using QObject::QObject;

    // Only the states the window system reports (spontaneous events to a window) count: a state
    // the program sets is a request, and the desktop's answer comes as such an event.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::WindowStateChange || !event->spontaneous())
            return false;
        auto* window = qobject_cast<QWindow*>(watched);
        if (!window || window->minimumSize() != window->maximumSize())
            return false;
        QWidget* widget = widgetOf(window);
        const Qt::WindowStates states = window->windowStates();
        if (states & Qt::WindowMaximized) {
            if (widget)
                hold(widget);
            const bool wayland = QGuiApplication::platformName().startsWith(u"wayland"_s);
            window->setWindowStates((states & ~Qt::WindowMaximized) |
                                    (wayland ? Qt::WindowFullScreen : Qt::WindowNoState));
        } else if (states & Qt::WindowFullScreen) {
            if (widget)
                release(widget);
            askForNormal(window, kRetries);
        } else if (widget) {
            release(widget);
        }
        return false;
    }
};

} // namespace

void keepFixedWindowsAtTheirSize()
{
    static const bool installed = [] {
        qApp->installEventFilter(new FixedSizeKeeper(qApp));
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace morvane
