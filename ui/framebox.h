#pragma once

// The captioned frame around the meter and the result panels, painted from a picture of itself.

#include <QGroupBox>
#include <QPixmap>

namespace morvane {

// A frame with a caption that paints itself from a picture of itself: the meter's needle and the
// values inside it change many times a second, and each change would otherwise lay out and draw
// the caption and the etched border again beneath them.
class FrameBox : public QGroupBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrameBox)

public:
    explicit FrameBox(const QString& title, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // How far inside the contents the style's own drawing of the frame ends (pixels).
    static constexpr int kBand = 8;
    void drawPicture(qreal dpr);

    QPixmap m_picture;
};

} // namespace morvane
