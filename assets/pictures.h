#pragma once

#include <QString>

// Where the window's pictures are among the program's Qt resources. Linking the `assets`
// library registers them before main() runs; nothing needs to be called first.
namespace morvane::pictures {

// The title banner: a 346 x 56 GIF whose one transparent colour lets the button face show
// around the letters.
QString bannerPath();

// Icons with a 32 x 32 and a 16 x 16 image, 16 colours each.
QString appIconPath(); // the window's and the program's icon
QString personPath();  // cmdTai, weight entry
QString clearPath();   // cmdClear, history clearing
QString helpPath();    // cmdHelp
QString exitPath();    // cmdEnd; fully opaque

// The meter needle: one 32 x 32 image, transparent but for the needle in columns 11 to 19;
// the tip's column 15 ends on the picture's vertical centre line.
QString pointerPath();

} // namespace morvane::pictures
