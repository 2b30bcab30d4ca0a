#pragma once

// Help pages are untrusted input handed to Qt's HTML reader, which is built for pages people
// write: a <link rel="stylesheet"> without type="text/css" is ignored, the layout time of nested
// tables doubles with each level (sixteen already take seconds), and a few thousand levels
// overflow the stack.

#include <QString>

namespace morvane {

// Nesting kept: block containers (lists, tables, divisions, quotations), and tables alone.
inline constexpr int kMaxHtmlDepth = 16;
inline constexpr int kMaxTableDepth = 8;
// Longest page or style sheet handed over, in characters; real pages have a few thousand.
inline constexpr qsizetype kMaxHtmlChars = 1024 * 1024;

// The page as the help view shows it: cut to kMaxHtmlChars; every tag inside a container
// deeper than the limits above left out, so that its text stays but its structure is flat;
// everything after a tag that never ends kept as text; and type="text/css" added to every
// stylesheet link that has none. Comments are kept. Takes time in proportion to the page.
QString prepareHelpPage(const QString& html);

} // namespace morvane
