#include "help/chmpath.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace morvane::chm {

QString resolveObjectPath(const QString& link, const QString& basePage)
{
    QString path = link;
    path.replace(u'\\', u'/');
    const qsizetype archiveSeparator = path.indexOf(u"::"_s);
    if (archiveSeparator >= 0)
        path = path.mid(archiveSeparator + 2);
    for (QChar end : {u'#', u'?'}) {
        const qsizetype at = path.indexOf(end);
        if (at >= 0)
            path.truncate(at);
    }

    if (path.isEmpty() && link.contains(u'#'))
        return resolveObjectPath(basePage); // "#anchor" names the page it is on
    QStringList segments;
    if (!path.startsWith(u'/')) {
        QString base = basePage;
        base.replace(u'\\', u'/');
        segments = base.split(u'/', Qt::SkipEmptyParts);
        if (!segments.isEmpty() && !base.endsWith(u'/'))
            segments.removeLast(); // the page's own name
    }
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (part == u"."_s)
            continue;
        if (part == u".."_s) {
            if (!segments.isEmpty())
                segments.removeLast();
            continue;
        }
        segments.append(part);
    }
    QString resolved = u"/"_s + segments.join(u'/');
    if (path.endsWith(u'/') && !segments.isEmpty())
        resolved += u'/';
    return resolved;
}

} // namespace morvane::chm
