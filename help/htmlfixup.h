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

// The page with type="text/css" added to every stylesheet link that has no type.
QString addStylesheetTypes(const QString& html);

// The page cut to kMaxHtmlChars, with every tag inside a container deeper than the limits
// above left out, so that its text stays but its structure is flat. Comments are kept.
QString boundHtml(const QString& html);

} // namespace morvane
