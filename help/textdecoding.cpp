#include "help/textdecoding.h"

#include <QStringDecoder>

namespace morvane::chm {

QString decodeHelpText(QByteArrayView bytes, quint32 languageId)
{
    // Qt answers UTF-8 both for a page that says so and for one that says nothing; the bytes
    // then decide, below.
    QStringDecoder html = QStringDecoder::decoderForHtml(bytes);
    if (html.isValid() && html.name() != QByteArrayView("UTF-8"))
        return html.decode(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    if ((languageId & 0x3ff) == (kJapaneseLanguageId & 0x3ff)) {
        // Without ICU Qt has no CP932 decoder; UTF-8 with replacement characters then keeps at
        // least the ASCII parts readable.
        QStringDecoder japanese("windows-31j", QStringDecoder::Flag::Stateless);
        return japanese.isValid() ? japanese.decode(bytes) : text;
    }
    return QString::fromLatin1(bytes);
}

} // namespace morvane::chm
