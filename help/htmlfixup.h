#pragma once

// Qt's HTML reader loads a <link rel="stylesheet"> only when it says type="text/css"; help
// pages often leave the type out, as browsers allow.

#include <QString>

namespace morvane {

// The page with type="text/css" added to every stylesheet link that has no type.
QString addStylesheetTypes(const QString& html);

} // namespace morvane
