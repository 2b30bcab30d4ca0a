#pragma once

// Text inside a help file (pages, the contents page, style sheets, the title) carries no
// reliable label: Japanese files are usually in the Windows Japanese code page (CP932), newer
// ones in UTF-8, and the compiler copies whatever bytes its project file holds.

#include <QByteArrayView>
#include <QString>

namespace morvane::chm {

// The language ID of Japanese; its 8-bit texts are CP932.
inline constexpr quint32 kJapaneseLanguageId = 0x0411;

// Decodes text as Qt reads HTML (a byte-order mark, else a charset a <meta> tag declares and
// Qt can decode); failing that, as UTF-8 when the bytes are valid UTF-8, else in the code
// page of the file's language (CP932 for Japanese), else as Latin-1. Never fails; invalid
// sequences become U+FFFD.
QString decodeHelpText(QByteArrayView bytes, quint32 languageId);

} // namespace morvane::chm
