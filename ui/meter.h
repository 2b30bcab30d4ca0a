#pragma once

// The meter's own controls: its scale of figures, which draws itself, never takes the focus and
// takes the mouse only to show its tooltip, and its scroll bar, which assistive technology reads
// in BMI.

#include <QLabel>
#include <QScrollBar>

namespace morvane {

// The meter's scale: the figures 15 to 32, each centred on its own scale position whatever the
// font's digit widths, with four dots between neighbours. Its text is the caption those figures
// and dots make, "15....16....  ....32", which is what assistive technology reads.
class ScaleLabel : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScaleLabel)

public:
    // figureCentre(n) is the centre of figure n in this label's pixel coordinates.
    ScaleLabel(double firstCentrePx, double pitchPx, QWidget* parent = nullptr);

    static constexpr int kFirstFigure = 15;
    static constexpr int kLastFigure = 32;
    static constexpr double kDigitWidth = 6.0; // pixels
    double figureCentre(int figure) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_firstCentre = 0.0;
    double m_pitch = 20.0;
};

// The meter's scroll bar: its positions count tenths of a BMI (positionsPerUnit of them per
// unit). Assistive technology reads and sets it in BMI: 24.1 in 15.4 to 31.6, step 0.1.
class MeterBar : public QScrollBar {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MeterBar)

public:
    explicit MeterBar(int positionsPerUnit, QWidget* parent = nullptr);
    int positionsPerUnit() const { return m_positionsPerUnit; }
    double unitValue(int position) const { return double(position) / m_positionsPerUnit; }

private:
    int m_positionsPerUnit = 1;
};

} // namespace morvane
