#include "help/htmlfixup.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace morvane {

QString addStylesheetTypes(const QString& html)
{
    // One linear pass over the <link ...> tags; the patterns cannot backtrack badly.
    static const QRegularExpression link(u"<link\\b[^>]*>"_s,
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression stylesheet(u"\\brel\\s*=\\s*[\"']?\\s*stylesheet\\b"_s,
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression type(u"\\btype\\s*="_s,
                                         QRegularExpression::CaseInsensitiveOption);
    QString out;
    out.reserve(html.size() + 64);
    qsizetype copied = 0;
    auto it = link.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QString tag = match.captured();
        if (!tag.contains(stylesheet) || tag.contains(type))
            continue;
        out += QStringView(html).sliced(copied, match.capturedStart() - copied);
        out += tag.first(5);
        out += u" type=\"text/css\""_s;
        out += QStringView(tag).sliced(5);
        copied = match.capturedEnd();
    }
    out += QStringView(html).sliced(copied);
    return out;
}

} // namespace morvane
