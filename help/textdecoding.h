#pragma once

// Text inside a help file (pages, the contents page, style sheets, the title) carries no
// reliable label: Japanese files are usually in the Windows Japanese code page (CP932), newer
// ones in UTF-8, and the compiler copies whatever bytes its project file holds.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace morvane::chm {

// The language ID of Japanese; its 8-bit texts are CP932.
inline constexpr quint32 kJapaneseLanguageId = 0x0411;

// The charset a page declares in a <meta> tag, or a style sheet with @charset, lower-case;
// empty when it declares none. Only the first 4 KiB are searched, as browsers do.
QByteArray declaredCharset(QByteArrayView bytes);

// Decodes text in this order: a byte-order mark; a declared charset Qt can decode; UTF-8 when
// the bytes are valid UTF-8; the code page of the file's language (CP932 for Japanese);
// Latin-1. Never fails; invalid sequences become U+FFFD.
QString decodeHelpText(QByteArrayView bytes, quint32 languageId);

} // namespace morvane::chm
