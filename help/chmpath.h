#pragma once

// Object paths inside a help file. Objects are named "/dir/page.htm"; links and the
// contents page use relative paths, backslashes, "." and ".." segments, fragments, and
// sometimes the "file.chm::/page.htm" form.

#include <QString>

namespace morvane::chm {

// The absolute object path a link names, resolved against the page it appears on (an object
// path; empty for the root). The fragment and query are dropped; ".." never climbs above the
// root.
QString resolveObjectPath(const QString& link, const QString& basePage = QString());

} // namespace morvane::chm
