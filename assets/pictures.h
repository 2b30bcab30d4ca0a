#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

// The window's pictures, compiled into the program. Each has its design at its own size (1x) and
// one drawn at twice that size (2x) for screens scaled to 150 % and more. Both are stored as
// premultiplied ARGB, the form they are drawn in, so that showing one costs no decoding, no
// conversion and no copy. Linking the `assets` library registers them before main() runs.
//
// A picture is named by a path without a scale, e.g. personPath(); the functions below give its
// 1x or 2x design.
namespace morvane::pictures {

// From this device pixel ratio up the 2x design is drawn, scaled to the device's pixels; below
// it the 1x design is. At 1.25 the 1x design needs less scaling than the 2x one (1.25 against
// 0.625) and keeps its one-pixel lines.
inline constexpr qreal kTwiceFrom = 1.5;

// The title banner: 346 x 56, transparent around the letters so that the button face shows.
QString bannerPath();

// The button pictures: 32 x 32, transparent around the figure (the exit picture is opaque).
QString personPath(); // cmdTai, weight entry: a black figure
QString clearPath();  // cmdClear, history clearing
QString helpPath();   // cmdHelp
QString exitPath();   // cmdEnd

// The meter needle: 32 x 32, transparent but for the needle in columns 11 to 19; the tip's
// column 15 ends on the picture's vertical centre line.
QString pointerPath();

// The picture to show on a dark ground instead of `path`: the person with a white outline, so
// that the black figure stays visible; any other picture itself.
QString onDarkPath(const QString& path);

// The picture's 1x design (scale 1) or its 2x one (scale 2), whose device pixel ratio is 2. A
// null image if there is no such picture.
QImage image(const QString& path, int scale);
QPixmap pixmap(const QString& path, int scale);

// The picture as an icon of its own size that draws the 2x design from kTwiceFrom up.
QIcon icon(const QString& path);

// The window's icon, the program's own: a 16 x 16 and a 32 x 32 design, each with its 2x one.
QIcon appIcon();

} // namespace morvane::pictures
