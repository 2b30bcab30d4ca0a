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

// Character references, and the named entities contents pages use.
QString decodeEntities(const QString& text)
{
    static const QRegularExpression entity(
        u"&(#[xX][0-9a-fA-F]{1,6}|#[0-9]{1,7}|amp|lt|gt|quot|apos|nbsp);"_s);
    static const QHash<QString, char32_t> named = {{u"amp"_s, u'&'},   {u"lt"_s, u'<'},
                                                   {u"gt"_s, u'>'},    {u"quot"_s, u'"'},
                                                   {u"apos"_s, u'\''}, {u"nbsp"_s, 0xa0}};
    QString out;
    qsizetype copied = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString name = match.captured(1);
        const bool hex = name.startsWith(u"#x"_s, Qt::CaseInsensitive);
        const char32_t code = !name.startsWith(u'#')
                                  ? named.value(name)
                                  : name.mid(hex ? 2 : 1).toUInt(nullptr, hex ? 16 : 10);
        if (code == 0 || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            continue; // not a character: left as written
        out += QStringView(text).sliced(copied, match.capturedStart() - copied);
        out += QString::fromUcs4(&code, 1);
        copied = match.capturedEnd();
    }
    return out + text.sliced(copied);
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
