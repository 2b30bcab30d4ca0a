#include "help/chmarchive.h"
#include "help/chmpath.h"
#include "measure/bands.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;

// The help file the build compiles from help/content, as the program will open it.
class tst_HelpContent : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void titleAndDefaultTopic();
    void contentsEntriesResolve();
    void pages_data();
    void pages();
    void judgementsAsTheProgramShowsThem();

private:
    void collect(const std::vector<chm::ContentsEntry>& entries, QStringList* locals);
    ChmArchive m_archive;
};

void tst_HelpContent::initTestCase()
{
    QVERIFY2(m_archive.open(QString::fromUtf8(MORVANE_HELP_FILE)),
             qPrintable(QString::number(int(m_archive.error()))));
}

void tst_HelpContent::titleAndDefaultTopic()
{
    QCOMPARE(m_archive.title(), u"Morvane ヘルプ"_s);
    QCOMPARE(m_archive.languageId(), 0x0411u);
    QCOMPARE(m_archive.defaultTopic(), u"/index.html"_s);
}

void tst_HelpContent::collect(const std::vector<chm::ContentsEntry>& entries, QStringList* locals)
{
    for (const chm::ContentsEntry& entry : entries) {
        if (!entry.local.isEmpty())
            locals->append(entry.local);
        collect(entry.children, locals);
    }
}

void tst_HelpContent::contentsEntriesResolve()
{
    QStringList locals;
    collect(m_archive.contents(), &locals);
    QVERIFY(locals.size() >= 7);
    for (const QString& local : locals) {
        const QString path = chm::resolveObjectPath(local);
        QVERIFY2(m_archive.contains(path), qPrintable(local));
        const qsizetype hash = local.indexOf(u'#');
        if (hash >= 0) {
            const QString page = m_archive.decodeText(*m_archive.object(path));
            QVERIFY2(page.contains(u"name=\"%1\""_s.arg(local.mid(hash + 1))), qPrintable(local));
        }
    }
}

void tst_HelpContent::pages_data()
{
    QTest::addColumn<QString>("page");
    for (const QString& path : m_archive.objectPaths()) {
        if (path.endsWith(u".html"_s))
            QTest::newRow(qPrintable(path)) << path;
    }
}

// Every page is valid UTF-8 as it declares, uses the style sheet, and every link inside the
// file leads to an object (and anchor) that exists.
void tst_HelpContent::pages()
{
    QFETCH(QString, page);
    const auto bytes = m_archive.object(page);
    QVERIFY(bytes);
    const QString text = m_archive.decodeText(*bytes);
    QVERIFY(bytes->contains("<meta charset=\"utf-8\">"));
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
    QVERIFY(text.contains(u"href=\"help.css\""_s));
    QVERIFY(m_archive.contains(u"/help.css"_s));

    static const QRegularExpression link(u"(?:href|src)=\"([^\"]*)\""_s);
    auto it = link.globalMatch(text);
    int checked = 0;
    while (it.hasNext()) {
        const QString target = it.next().captured(1);
        if (target.startsWith(u"http"_s) || target.startsWith(u"mailto:"_s))
            continue;
        const QString path = target.startsWith(u'#') ? page : chm::resolveObjectPath(target, page);
        QVERIFY2(m_archive.contains(path), qPrintable(target));
        const qsizetype hash = target.indexOf(u'#');
        if (hash >= 0) {
            const QString linked = m_archive.decodeText(*m_archive.object(path));
            QVERIFY2(linked.contains(u"name=\"%1\""_s.arg(target.mid(hash + 1))),
                     qPrintable(target));
        }
        ++checked;
    }
    QVERIFY(checked > 0);
}

void tst_HelpContent::judgementsAsTheProgramShowsThem()
{
    const QString meter = m_archive.decodeText(*m_archive.object(u"/meter.html"_s));
    for (const Band& band : bands())
        QVERIFY2(meter.contains(u'>' + band.caption + u'<'), qPrintable(band.caption));
}

QTEST_GUILESS_MAIN(tst_HelpContent)
#include "tst_helpcontent.moc"
