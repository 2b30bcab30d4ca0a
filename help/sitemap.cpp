#include "help/sitemap.h"

#include <QHash>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace morvane::chm {

namespace {

struct Tag {
    QString name;                       // lower-case, with a leading "/" for an end tag
    QHash<QString, QString> attributes; // names lower-case
};

QString decodeEntities(const QString& text)
{
    if (!text.contains(u'&'))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] != u'&') {
            out += text[i++];
            continue;
        }
        const qsizetype semicolon = text.indexOf(u';', i);
        if (semicolon < 0 || semicolon - i > 10) {
            out += text[i++];
            continue;
        }
        const QString entity = text.mid(i + 1, semicolon - i - 1);
        char32_t code = 0;
        if (entity == u"amp"_s)
            code = u'&';
        else if (entity == u"lt"_s)
            code = u'<';
        else if (entity == u"gt"_s)
            code = u'>';
        else if (entity == u"quot"_s)
            code = u'"';
        else if (entity == u"apos"_s)
            code = u'\'';
        else if (entity == u"nbsp"_s)
            code = 0xa0;
        else if (entity.startsWith(u'#')) {
            bool ok = false;
            const uint value = entity.startsWith(u"#x"_s, Qt::CaseInsensitive)
                                   ? entity.mid(2).toUInt(&ok, 16)
                                   : entity.mid(1).toUInt(&ok, 10);
            if (ok && value > 0 && value <= 0x10ffff && (value < 0xd800 || value > 0xdfff))
                code = value;
        }
        if (code == 0) {
            out += text[i++];
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = semicolon + 1;
    }
    return out;
}

// Parses the text between a tag's '<' and '>': its name ("/ul" for an end tag), then
// attributes written name=value, name="value", name='value' or name alone.
Tag parseTag(QStringView text)
{
    static const QRegularExpression head(u"^/?[^\\s/]*"_s);
    static const QRegularExpression attribute(
        u"([^\\s=/]+)(?:\\s*=\\s*(?:\"([^\"]*)\"?|'([^']*)'?|(\\S*)))?"_s);
    Tag tag;
    const QRegularExpressionMatch name = head.match(text);
    tag.name = name.captured().toLower();
    auto it = attribute.globalMatch(text, name.capturedEnd());
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QString key = match.captured(1).toLower();
        if (!tag.attributes.contains(key)) // at most one of the three values is there
            tag.attributes.insert(
                key, decodeEntities(match.captured(2) + match.captured(3) + match.captured(4)));
    }
    return tag;
}

} // namespace

std::vector<ContentsEntry> parseSitemap(const QString& html)
{
    std::vector<ContentsEntry> root;
    // The lists being filled; a nested <UL> fills the children of the item before it. Only the
    // top list is ever appended to, so the pointers below it stay valid.
    std::vector<std::vector<ContentsEntry>*> lists{&root};
    int depth = 0;             // open <UL> elements, including those flattened or without an item
    std::vector<int> openedAt; // the depth at which each entry of lists above root was opened
    int entries = 0;
    bool inObject = false;
    ContentsEntry pending;

    qsizetype i = 0;
    while (i < html.size()) {
        const qsizetype open = html.indexOf(u'<', i);
        if (open < 0)
            break;
        if (QStringView(html).sliced(open).startsWith(u"<!--")) {
            const qsizetype end = html.indexOf(u"-->"_s, open + 4);
            i = end < 0 ? html.size() : end + 3;
            continue;
        }
        const qsizetype close = html.indexOf(u'>', open + 1);
        if (close < 0)
            break;
        const Tag tag = parseTag(QStringView(html).sliced(open + 1, close - open - 1));
        i = close + 1;

        if (tag.name == u"ul"_s) {
            ++depth;
            std::vector<ContentsEntry>* current = lists.back();
            if (!current->empty() && int(lists.size()) < kMaxContentsDepth) {
                lists.push_back(&current->back().children);
                openedAt.push_back(depth);
            }
        } else if (tag.name == u"/ul"_s) {
            if (!openedAt.empty() && openedAt.back() == depth) {
                lists.pop_back();
                openedAt.pop_back();
            }
            if (depth > 0)
                --depth;
        } else if (tag.name == u"object"_s) {
            inObject = tag.attributes.value(u"type"_s).compare(u"text/sitemap"_s,
                                                               Qt::CaseInsensitive) == 0;
            pending = ContentsEntry();
        } else if (tag.name == u"param"_s && inObject) {
            const QString name = tag.attributes.value(u"name"_s).toLower();
            const QString value = tag.attributes.value(u"value"_s);
            if (name == u"name"_s && pending.name.isEmpty())
                pending.name = value.trimmed();
            else if (name == u"local"_s && pending.local.isEmpty())
                pending.local = value.trimmed();
        } else if (tag.name == u"/object"_s && inObject) {
            inObject = false;
            if (!pending.name.isEmpty() && entries < kMaxContentsEntries) {
                lists.back()->push_back(std::move(pending));
                ++entries;
            }
            pending = ContentsEntry();
        }
    }
    return root;
}

} // namespace morvane::chm
