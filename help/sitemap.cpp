#include "help/sitemap.h"

#include <QHash>

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

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Parses the tag between '<' at start and the matching '>' at end (exclusive).
Tag parseTag(QStringView text)
{
    Tag tag;
    qsizetype i = 0;
    while (i < text.size() && !isSpace(text[i]) && text[i] != u'/')
        ++i;
    if (i == 0 && i < text.size() && text[i] == u'/') {
        ++i;
        while (i < text.size() && !isSpace(text[i]))
            ++i;
    }
    tag.name = text.first(i).toString().toLower();
    while (i < text.size()) {
        while (i < text.size() && (isSpace(text[i]) || text[i] == u'/'))
            ++i;
        const qsizetype nameStart = i;
        while (i < text.size() && !isSpace(text[i]) && text[i] != u'=' && text[i] != u'/')
            ++i;
        const QString name = text.sliced(nameStart, i - nameStart).toString().toLower();
        while (i < text.size() && isSpace(text[i]))
            ++i;
        QString value;
        if (i < text.size() && text[i] == u'=') {
            ++i;
            while (i < text.size() && isSpace(text[i]))
                ++i;
            if (i < text.size() && (text[i] == u'"' || text[i] == u'\'')) {
                const QChar quote = text[i++];
                const qsizetype valueStart = i;
                while (i < text.size() && text[i] != quote)
                    ++i;
                value = text.sliced(valueStart, i - valueStart).toString();
                if (i < text.size())
                    ++i;
            } else {
                const qsizetype valueStart = i;
                while (i < text.size() && !isSpace(text[i]))
                    ++i;
                value = text.sliced(valueStart, i - valueStart).toString();
            }
        }
        if (!name.isEmpty() && !tag.attributes.contains(name))
            tag.attributes.insert(name, decodeEntities(value));
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
