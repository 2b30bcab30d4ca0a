#include "help/chmarchive.h"
#include "help/chmpath.h"
#include "help/htmlfixup.h"
#include "help/sitemap.h"

#include <QStringEncoder>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;

namespace {

QByteArray cp932(const QString& text)
{
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}

QString flatten(const std::vector<chm::ContentsEntry>& entries)
{
    QStringList parts;
    for (const chm::ContentsEntry& entry : entries) {
        QString part = entry.name;
        if (!entry.local.isEmpty())
            part += u'=' + entry.local;
        if (!entry.children.empty())
            part += u'(' + flatten(entry.children) + u')';
        parts.append(part);
    }
    return parts.join(u',');
}

} // namespace

class tst_HelpText : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void decoding_data();
    void decoding();
    void resolvePath_data();
    void resolvePath();
    void sitemap_data();
    void sitemap();
    void sitemapBounds();
    void prepareHelpPage_data();
    void prepareHelpPage();
};

void tst_HelpText::initTestCase()
{
    QVERIFY2(QStringEncoder("windows-31j").isValid(), "Qt was built without ICU");
}

void tst_HelpText::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<uint>("language");
    QTest::addColumn<QString>("expected");

    const QString japanese = u"体重入力　①～"_s;
    const uint ja = 0x0411, en = 0x0409;
    QTest::newRow("UTF-8, Japanese file") << japanese.toUtf8() << ja << japanese;
    QTest::newRow("UTF-8, English file") << japanese.toUtf8() << en << japanese;
    QTest::newRow("CP932, Japanese file") << cp932(japanese) << ja << japanese;
    QTest::newRow("CP932 declared in an English file")
        << QByteArray("<meta charset=\"shift_jis\">") + cp932(japanese) << en
        << u"<meta charset=\"shift_jis\">"_s + japanese;
    QTest::newRow("UTF-8 byte-order mark")
        << QByteArray("\xEF\xBB\xBF") + japanese.toUtf8() << ja << japanese;
    QTest::newRow("UTF-16 byte-order mark")
        << QByteArray("\xFF\xFE") +
               QByteArray(reinterpret_cast<const char*>(japanese.utf16()), japanese.size() * 2)
        << ja << japanese;
    QTest::newRow("Latin-1 in an English file") << QByteArray("caf\xE9") << en << u"café"_s;
    QTest::newRow("declared charset Qt does not know falls back")
        << QByteArray("<meta charset=\"x-unknown-thing\">") + japanese.toUtf8() << ja
        << u"<meta charset=\"x-unknown-thing\">"_s + japanese;
    QTest::newRow("CP932 declared with http-equiv")
        << QByteArray(
               "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">") +
               cp932(japanese)
        << en
        << u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"_s +
               japanese;
    QTest::newRow("ASCII") << QByteArray("BMI 22") << ja << u"BMI 22"_s;
}

void tst_HelpText::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(uint, language);
    QFETCH(QString, expected);
    QCOMPARE(ChmArchive::decodeText(bytes, language), expected);
}

void tst_HelpText::resolvePath_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("expected");

    QTest::newRow("absolute") << u"/a/b.html"_s << u"/x/y.html"_s << u"/a/b.html"_s;
    QTest::newRow("sibling") << u"b.html"_s << u"/a/page.html"_s << u"/a/b.html"_s;
    QTest::newRow("up one") << u"../b.html"_s << u"/a/c/page.html"_s << u"/a/b.html"_s;
    QTest::newRow("up past the root") << u"../../../b.html"_s << u"/a/page.html"_s << u"/b.html"_s;
    QTest::newRow("no base") << u"b.html"_s << QString() << u"/b.html"_s;
    QTest::newRow("base is a folder") << u"b.html"_s << u"/a/"_s << u"/a/b.html"_s;
    QTest::newRow("backslashes") << u"..\\img\\p.png"_s << u"/a/page.html"_s << u"/img/p.png"_s;
    QTest::newRow("fragment and query") << u"b.html?x=1#top"_s << u"/page.html"_s << u"/b.html"_s;
    QTest::newRow("fragment only") << u"#top"_s << u"/a/page.html"_s << u"/a/page.html"_s;
    QTest::newRow("viewer prefix")
        << u"mk:@MSITStore:help.chm::/a/b.html"_s << QString() << u"/a/b.html"_s;
    QTest::newRow("double slashes and dots")
        << u"/a//./b/../c.html"_s << QString() << u"/a/c.html"_s;
}

void tst_HelpText::resolvePath()
{
    QFETCH(QString, link);
    QFETCH(QString, base);
    QFETCH(QString, expected);
    QCOMPARE(chm::resolveObjectPath(link, base), expected);
}

void tst_HelpText::sitemap_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");

    const auto item = [](const QString& name, const QString& local) {
        QString text =
            u"<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"%1\">"_s.arg(name);
        if (!local.isEmpty())
            text += u"<param name=\"Local\" value=\"%1\">"_s.arg(local);
        return text + u"</OBJECT>"_s;
    };
    QTest::newRow("flat") << u"<UL>"_s + item(u"一"_s, u"1.htm"_s) + item(u"二"_s, u"2.htm"_s) +
                                 u"</UL>"_s
                          << u"一=1.htm,二=2.htm"_s;
    QTest::newRow("nested") << u"<UL>"_s + item(u"親"_s, QString()) + u"<UL>"_s +
                                   item(u"子"_s, u"c.htm"_s) + u"<UL>"_s +
                                   item(u"孫"_s, u"g.htm"_s) + u"</UL></UL>"_s +
                                   item(u"次"_s, u"n.htm"_s) + u"</UL>"_s
                            << u"親(子=c.htm(孫=g.htm)),次=n.htm"_s;
    QTest::newRow("lower case, single quotes, unquoted")
        << u"<ul><li><object type='text/sitemap'><param name=name value='小'>"
           u"<param name=local value=s.htm></object></ul>"_s
        << u"小=s.htm"_s;
    QTest::newRow("entities") << u"<UL>"_s +
                                     item(u"A &amp; B &#x4F53;&#37325;"_s, u"a&amp;b.htm"_s) +
                                     u"</UL>"_s
                              << u"A & B 体重=a&b.htm"_s;
    QTest::newRow("site properties are not entries")
        << u"<OBJECT type=\"text/site properties\"><param name=\"Name\" value=\"x\"></OBJECT>"
           u"<UL>"_s +
               item(u"本文"_s, u"b.htm"_s) + u"</UL>"_s
        << u"本文=b.htm"_s;
    QTest::newRow("unclosed lists")
        << u"<UL>"_s + item(u"一"_s, u"1.htm"_s) + u"<UL>"_s + item(u"二"_s, u"2.htm"_s)
        << u"一=1.htm(二=2.htm)"_s;
    QTest::newRow("extra closing lists") << u"</UL></UL><UL>"_s + item(u"一"_s, u"1.htm"_s) +
                                                u"</UL></UL>"_s + item(u"二"_s, u"2.htm"_s)
                                         << u"一=1.htm,二=2.htm"_s;
    QTest::newRow("comment hides an entry")
        << u"<UL><!-- "_s + item(u"隠"_s, u"h.htm"_s) + u" -->"_s + item(u"見"_s, u"v.htm"_s) +
               u"</UL>"_s
        << u"見=v.htm"_s;
    QTest::newRow("entry without a name is skipped")
        << u"<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Local\" value=\"x.htm\">"
           u"</OBJECT>"_s +
               item(u"有"_s, u"y.htm"_s) + u"</UL>"_s
        << u"有=y.htm"_s;
    QTest::newRow("truncated tag")
        << u"<UL>"_s + item(u"一"_s, u"1.htm"_s) + u"<LI><OBJECT type="_s << u"一=1.htm"_s;
    QTest::newRow("not a sitemap") << u"<html><body><p>本文</p></body></html>"_s << QString();
}

void tst_HelpText::sitemap()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(flatten(chm::parseSitemap(html)), expected);
}

void tst_HelpText::sitemapBounds()
{
    // Lists nested ten thousand deep are flattened below the depth limit, and no more entries
    // than the limit are kept: a hostile contents page costs neither stack nor memory.
    QString deep;
    const QString item = u"<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"x\">"
                         u"</OBJECT>"_s;
    for (int i = 0; i < 10000; ++i)
        deep += u"<UL>"_s + item;
    const auto entries = chm::parseSitemap(deep);
    int depth = 0;
    int count = 0;
    const std::vector<chm::ContentsEntry>* level = &entries;
    while (!level->empty()) {
        ++depth;
        count += int(level->size());
        level = &level->back().children;
    }
    QCOMPARE(depth, 16);
    QCOMPARE(count, 5000);
}

void tst_HelpText::prepareHelpPage_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");

    const auto nest = [](const QString& open, const QString& close, int depth) {
        return open.repeated(depth) + u"x"_s + close.repeated(depth);
    };
    const QString table = u"<table><tr><td>"_s;
    const QString tableEnd = u"</td></tr></table>"_s;
    QTest::newRow("shallow page unchanged")
        << u"<div><p>体重</p><ul><li><a href=\"a.html\">a</a></ul></div>"_s
        << u"<div><p>体重</p><ul><li><a href=\"a.html\">a</a></ul></div>"_s;
    QTest::newRow("tables at the limit unchanged")
        << nest(table, tableEnd, kMaxTableDepth) << nest(table, tableEnd, kMaxTableDepth);
    QTest::newRow("tables below the limit flattened")
        << nest(table, tableEnd, kMaxTableDepth + 2)
        << nest(table, tableEnd, kMaxTableDepth).replace(u"x"_s, u"      x      "_s);
    QTest::newRow("lists below the limit flattened, unclosed")
        << u"<ul>"_s.repeated(kMaxHtmlDepth + 3) + u"x"_s
        << u"<ul>"_s.repeated(kMaxHtmlDepth) + u"   x"_s;
    QTest::newRow("text after a flattened part is whole again")
        << u"<div>"_s.repeated(kMaxHtmlDepth + 1) + u"</div>"_s.repeated(kMaxHtmlDepth + 1) +
               u"<b>y</b>"_s
        << u"<div>"_s.repeated(kMaxHtmlDepth) + u"  "_s + u"</div>"_s.repeated(kMaxHtmlDepth) +
               u"<b>y</b>"_s;
    QTest::newRow("an end tag closes what is left open inside")
        << u"<div><ul><ul></div>"_s + u"<ul>"_s.repeated(kMaxHtmlDepth) + u"x"_s
        << u"<div><ul><ul></div>"_s + u"<ul>"_s.repeated(kMaxHtmlDepth) + u"x"_s;
    QTest::newRow("quoted > inside a tag")
        << u"<a title=\"1 > 0\">a</a>"_s << u"<a title=\"1 > 0\">a</a>"_s;
    QTest::newRow("comments and stray text kept")
        << u"<!-- <table> --> a < b <"_s << u"<!-- <table> --> a < b <"_s;
    QTest::newRow("unclosed quote: the rest is text")
        << u"<p title=\"x>"_s + u"<table>"_s.repeated(3)
        << u"&lt;p title=\"x>"_s + u"&lt;table>"_s.repeated(3);
    QTest::newRow("cut to the size limit")
        << u"a"_s.repeated(kMaxHtmlChars + 10) << u"a"_s.repeated(kMaxHtmlChars);
    // A style sheet link without a type is given one, for the browser to load it.
    QTest::newRow("stylesheet, no type")
        << u"<link rel=\"stylesheet\" href=\"a.css\">"_s
        << u"<link type=\"text/css\" rel=\"stylesheet\" href=\"a.css\">"_s;
    QTest::newRow("stylesheet, upper case, unquoted")
        << u"<LINK REL=StyleSheet HREF=a.css>"_s
        << u"<LINK type=\"text/css\" REL=StyleSheet HREF=a.css>"_s;
    QTest::newRow("stylesheet, type present")
        << u"<link rel=\"stylesheet\" type=\"text/css\" href=\"a.css\">"_s
        << u"<link rel=\"stylesheet\" type=\"text/css\" href=\"a.css\">"_s;
    QTest::newRow("not a stylesheet")
        << u"<link rel=\"icon\" href=\"i.png\">"_s << u"<link rel=\"icon\" href=\"i.png\">"_s;
    QTest::newRow("two stylesheets and text")
        << u"a<link rel=stylesheet href=1.css>b<link rel=stylesheet href=2.css>c"_s
        << u"a<link type=\"text/css\" rel=stylesheet href=1.css>b"
           u"<link type=\"text/css\" rel=stylesheet href=2.css>c"_s;
    QTest::newRow("unterminated stylesheet tag, and a table after it left as text")
        << u"<link rel=\"stylesheet <table>"_s << u"&lt;link rel=\"stylesheet &lt;table>"_s;
}

void tst_HelpText::prepareHelpPage()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(morvane::prepareHelpPage(html), expected);
}

QTEST_GUILESS_MAIN(tst_HelpText)
#include "tst_helptext.moc"
