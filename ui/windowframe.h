#pragma once

// A title bar of the program's own for a fixed-size window on a Wayland desktop that does not
// decorate windows itself (GNOME, Weston).
//
// There Qt draws the title bar, with the "bradient" decoration, the only one Qt 6.4 ships. It
// draws a minimise, a maximise and a close button on every window: it never looks at the
// window's flags (frmMain asks for no maximise button) nor at its size hints (minimum equal to
// maximum), and its maximise button asks the compositor to maximise all the same. The frame
// instead carries the window's icon and title, a minimise and a close button, and moves the
// window when the title is dragged; the window itself keeps its client area as it is.

#include <QPointer>
#include <QWidget>

#include <memory>

namespace morvane {

class WindowFrame : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowFrame)

public:
    // Takes content (a window of a fixed size) inside; the frame follows its title, icon and
    // description. Destroying the frame hands content back as a window of its own, hidden.
    explicit WindowFrame(QWidget* content);
    ~WindowFrame() override;

    // The height of the title bar, the frame's border included.
    static constexpr int kBarHeight = 30;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPointer<QWidget> m_content;
};

// Shows window: inside a WindowFrame on a Wayland desktop that does not decorate windows, as it
// is everywhere else. Keep what it returns (the frame, or nothing) while the window is in use.
std::unique_ptr<WindowFrame> showWindow(QWidget* window);

} // namespace morvane
