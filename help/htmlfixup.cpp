#include "help/htmlfixup.h"

#include <QRegularExpression>

#include <algorithm>
#include <iterator>
#include <vector>

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

namespace {

// Elements that nest blocks inside blocks; others (paragraphs, list items, cells, inline
// elements) only ever sit inside one of these.
bool isContainer(QStringView name)
{
    static const QStringView containers[] = {u"table",      u"ul",     u"ol",   u"dl", u"div",
                                             u"blockquote", u"center", u"menu", u"dir"};
    for (QStringView container : containers) {
        if (name == container)
            return true;
    }
    return false;
}

// The end of the tag that starts at html[at] == '<' (one past its '>'), skipping quoted
// attribute values; -1 when it never ends.
qsizetype tagEnd(const QString& html, qsizetype at)
{
    QChar quote;
    for (qsizetype i = at + 1; i < html.size(); ++i) {
        const QChar c = html[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            return i + 1;
        }
    }
    return -1;
}

} // namespace

QString boundHtml(const QString& input)
{
    const QString html = input.first(std::min(input.size(), kMaxHtmlChars));
    QString out;
    out.reserve(html.size());
    std::vector<QString> open; // containers kept, innermost last
    int tables = 0;
    qsizetype dropped = 0; // containers left out and not yet closed
    qsizetype at = 0;
    while (at < html.size()) {
        const qsizetype lt = html.indexOf(u'<', at);
        if (lt < 0) {
            out += QStringView(html).sliced(at);
            break;
        }
        out += QStringView(html).sliced(at, lt - at);
        if (QStringView(html).sliced(lt).startsWith(u"<!--")) {
            const qsizetype close = html.indexOf(u"-->", lt + 4);
            const qsizetype end = close < 0 ? html.size() : close + 3;
            out += QStringView(html).sliced(lt, end - lt);
            at = end;
            continue;
        }
        const bool closing = lt + 1 < html.size() && html[lt + 1] == u'/';
        qsizetype nameEnd = lt + (closing ? 2 : 1);
        while (nameEnd < html.size() && html[nameEnd].isLetterOrNumber() &&
               html[nameEnd].unicode() < 0x80)
            ++nameEnd;
        const qsizetype end = tagEnd(html, lt);
        const qsizetype nameStart = lt + (closing ? 2 : 1);
        if (nameEnd == nameStart || end < 0) {
            out += u'<'; // not a tag, or one that never ends: text
            at = lt + 1;
            continue;
        }
        const QString name = html.sliced(nameStart, nameEnd - nameStart).toLower();
        const QStringView tag = QStringView(html).sliced(lt, end - lt);
        at = end;

        bool keep = dropped == 0;
        if (isContainer(name) && !closing) {
            const bool table = name == u"table";
            if (keep && int(open.size()) < kMaxHtmlDepth && (!table || tables < kMaxTableDepth)) {
                open.push_back(name);
                tables += table;
            } else {
                ++dropped;
                keep = false;
            }
        } else if (isContainer(name)) {
            if (dropped > 0) {
                --dropped;
                keep = false;
            } else {
                // An end tag closes the innermost open container of its name and any left
                // open inside it, as browsers do; a stray one closes nothing.
                auto match = std::find(open.rbegin(), open.rend(), name);
                for (auto it = open.rbegin(); match != open.rend() && it != match + 1; ++it)
                    tables -= *it == u"table";
                if (match != open.rend())
                    open.erase(std::prev(match.base()), open.end());
            }
        }
        if (keep)
            out += tag;
        else
            out += u' '; // a left-out tag still separates words
    }
    return out;
}

} // namespace morvane
