#pragma once

// The controls that show one of the program's pictures (assets/pictures.h): the picture buttons,
// which the keyboard presses as on the desktop, and the pictures shown alone (the title banner
// and the meter's needle).

#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QToolButton>

namespace morvane {

// A picture button as the desktop has it: Space and also Enter (Return or the keypad's Enter)
// press it while it has the focus. It shows its picture for dark button faces while its palette
// has one, and its ordinary picture otherwise.
class PictureButton : public QToolButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PictureButton)

public:
    explicit PictureButton(QWidget* parent = nullptr);
    void setPictures(const QIcon& picture, const QIcon& onDark);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showPicture();

    QIcon m_picture;
    QIcon m_onDark;
};

// A picture shown at its own size, by its path among the program's pictures: its 1x design, or
// its 2x design from a device pixel ratio of pictures::kTwiceFrom up. pixmap() is the 1x design.
class PictureLabel : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PictureLabel)

public:
    explicit PictureLabel(const QString& picture, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_picture;
    QPixmap m_twice; // read when first drawn
};

} // namespace morvane
