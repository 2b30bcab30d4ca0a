#pragma once

// The contents page of a help file (.hhc): an HTML "sitemap" of nested <UL> lists whose <LI>
// items hold <OBJECT type="text/sitemap"> with <param name="Name"> and <param name="Local">.
// The parser is forgiving, like the viewers that read these files (missing </LI>, unclosed
// lists, upper or lower case), and bounded: nesting deeper than kMaxContentsDepth is
// flattened and entries after kMaxContentsEntries are dropped.

#include <QString>

#include <vector>

namespace morvane::chm {

// Nesting and entries a person could still use.
inline constexpr int kMaxContentsDepth = 16;
inline constexpr int kMaxContentsEntries = 5000;

struct ContentsEntry {
    QString name;
    QString local; // as written in the contents page; empty for a heading without a page
    std::vector<ContentsEntry> children;
};

std::vector<ContentsEntry> parseSitemap(const QString& html);

} // namespace morvane::chm
