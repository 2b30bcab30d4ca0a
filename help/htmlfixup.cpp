#include "help/htmlfixup.h"

#include <QRegularExpression>

#include <algorithm>
#include <iterator>
#include <vector>

using namespace Qt::StringLiterals;

namespace morvane {

namespace {

// Elements that nest blocks inside blocks; the others (paragraphs, list items, cells, inline
// elements) only ever sit inside one of these.
bool isContainer(const QString& name)
{
    static const QRegularExpression containers(
        u"^(table|ul|ol|dl|div|blockquote|center|menu|dir)$"_s);
    return containers.match(name).hasMatch();
}

// A <link rel="stylesheet"> with type="text/css" added when it has no type.
QString withStylesheetType(QStringView tag)
{
    static const QRegularExpression stylesheet(u"\\brel\\s*=\\s*[\"']?\\s*stylesheet\\b"_s,
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression type(u"\\btype\\s*="_s,
                                         QRegularExpression::CaseInsensitiveOption);
    if (!stylesheet.match(tag).hasMatch() || type.match(tag).hasMatch())
        return tag.toString();
    return tag.first(5).toString() + u" type=\"text/css\""_s + tag.sliced(5).toString();
}

// The end of the tag that starts at html[at] == '<' (one past its '>'), skipping quoted
// attribute values; -1 when it never ends.
qsizetype tagEnd(const QString& html, qsizetype at)
{
    QChar quote;
    for (qsizetype i = at + 1; i < html.size(); ++i) {
        if (!quote.isNull())
            quote = html[i] == quote ? QChar() : quote;
        else if (html[i] == u'"' || html[i] == u'\'')
            quote = html[i];
        else if (html[i] == u'>')
            return i + 1;
    }
    return -1;
}

} // namespace

QString prepareHelpPage(const QString& input)
{
    const QString html = input.left(kMaxHtmlChars);
    QString out;
    out.reserve(html.size());
    std::vector<QString> open; // containers kept, innermost last
    qsizetype dropped = 0;     // containers left out and not yet closed
    qsizetype at = 0;
    while (at < html.size()) {
        const qsizetype lt = html.indexOf(u'<', at);
        out += QStringView(html).sliced(at, (lt < 0 ? html.size() : lt) - at);
        if (lt < 0)
            break;
        const bool comment = QStringView(html).sliced(lt).startsWith(u"<!--");
        const bool closing = lt + 1 < html.size() && html[lt + 1] == u'/';
        const qsizetype nameStart = lt + (closing ? 2 : 1);
        qsizetype nameEnd = nameStart;
        while (nameEnd < html.size() && html[nameEnd].unicode() < 0x80 &&
               html[nameEnd].isLetterOrNumber())
            ++nameEnd;
        const qsizetype commentEnd = comment ? html.indexOf(u"-->", lt + 4) : -1;
        const qsizetype end = comment ? (commentEnd < 0 ? html.size() : commentEnd + 3)
                                      : (nameEnd == nameStart ? lt + 1 : tagEnd(html, lt));
        if (end < 0) { // a tag that never ends: the rest is text, never read as tags
            out += html.sliced(lt).replace(u'<', u"&lt;"_s);
            break;
        }
        const QStringView tag = QStringView(html).sliced(lt, end - lt);
        at = end;
        if (comment || nameEnd == nameStart) {
            out += tag; // a comment, or a "<" that starts no tag
            continue;
        }
        const QString name = html.sliced(nameStart, nameEnd - nameStart).toLower();
        bool keep = dropped == 0;
        if (isContainer(name) && !closing) {
            const bool room =
                int(open.size()) < kMaxHtmlDepth &&
                (name != u"table"_s || std::count(open.begin(), open.end(), name) < kMaxTableDepth);
            if (keep && room) {
                open.push_back(name);
            } else {
                ++dropped;
                keep = false;
            }
        } else if (isContainer(name) && dropped > 0) {
            --dropped;
            keep = false;
        } else if (isContainer(name)) {
            // An end tag closes the innermost open container of its name and any left open
            // inside it, as browsers do; a stray one closes nothing.
            const auto match = std::find(open.rbegin(), open.rend(), name);
            if (match != open.rend())
                open.erase(std::prev(match.base()), open.end());
        }
        if (!keep)
            out += u' '; // a left-out tag still separates words
        else if (name == u"link"_s)
            out += withStylesheetType(tag);
        else
            out += tag;
    }
    return out;
}

} // namespace morvane
