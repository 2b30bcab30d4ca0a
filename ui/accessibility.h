#pragma once

// What the program tells assistive technology beyond what Qt works out for itself: its own
// top-level windows are windows with their titles, the meter (MeterBar) speaks in BMI rather
// than in scroll positions, an ActionLabel can be pressed, a PictureButton's press answers before
// the dialog it opens, and the trend chart tells the point read (TrendChartView).
//
// installAccessibility() must run after the application object exists and before the first
// window is built: Qt keeps the first accessible interface it makes for a widget, and widgets
// ask for theirs while they are being constructed.

namespace morvane {

// Registers the program's accessible interfaces with Qt. Calling it again does nothing.
void installAccessibility();

} // namespace morvane
