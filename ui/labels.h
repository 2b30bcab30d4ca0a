#pragma once

// The window's text labels: one that always draws its text whole, and one of those that the
// keyboard, the mouse and assistive technology can also press (the height label).

#include <QKeySequence>
#include <QLabel>

class QShortcut;

namespace morvane {

// A label whose text is always drawn whole. A text too wide for the box in the label's font (a
// number of an extreme height or weight, a caption in a longer language) is drawn in a smaller
// size of that font, never cut: a cut number reads as another number. Its tooltip then shows the
// text too; assistive technology reads the text, which is always whole.
class FittingLabel : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FittingLabel)

public:
    explicit FittingLabel(const QString& text, QWidget* parent = nullptr);
    // The font the text is drawn in: the label's own, or a smaller size of it that fits.
    QFont shownFont() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The last fit worked out, for this text, font and width: painting asks for it each time.
    mutable QString m_fittedText;
    mutable QFont m_fittedFor;
    mutable int m_fittedRoom = -1;
    mutable QFont m_fitted;
};

// A label that does something: a double-click, its shortcut key anywhere in its window, or the
// press action of assistive technology emits activated().
class ActionLabel : public FittingLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ActionLabel)

public:
    explicit ActionLabel(const QString& text, QWidget* parent = nullptr);
    ~ActionLabel() override;

    void setShortcut(const QKeySequence& key);
    QKeySequence shortcut() const;

signals:
    void activated();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QShortcut* m_shortcut = nullptr;
};

} // namespace morvane
